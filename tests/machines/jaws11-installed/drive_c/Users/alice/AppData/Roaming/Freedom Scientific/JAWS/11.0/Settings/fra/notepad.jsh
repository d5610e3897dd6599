; Constantes des scripts du Bloc-notes.
Const
	ClasseEdition = "Edit",
	ToucheDirePosition = "JAWSKey+Shift+P"
