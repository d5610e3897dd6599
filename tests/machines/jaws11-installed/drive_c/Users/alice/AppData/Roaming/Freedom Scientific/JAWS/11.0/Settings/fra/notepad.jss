; Scripts pour le Bloc-notes de Windows.
; Ils annoncent la position du curseur et le nombre de lignes du document.

Include "HjConst.jsh"
Include "notepad.jsh"
Include "notepad.jsm"

Void Function AutoStartEvent ()
	; Accueil discret à l'ouverture du Bloc-notes.
	If GetJFWVersion () >= 2000000 Then
		SayMessage (OT_STATUS, msgBienvenue_L, msgBienvenue_S)
	EndIf
EndFunction

Int Function EstDansLeDocument ()
	; Vrai quand le focus est dans la zone d'édition.
	Return GetWindowClass (GetFocus ()) == ClasseEdition
EndFunction

Script DirePosition ()
	If !EstDansLeDocument () Then
		SayMessage (OT_ERROR, msgHorsDocument)
		Return
	EndIf
	SayFormattedMessage (OT_USER_REQUESTED_INFORMATION, msgPosition, msgPosition,
		GetCursorRow (), GetCursorCol ())
EndScript

Script DireNombreDeLignes ()
	SayFormattedMessage (OT_USER_REQUESTED_INFORMATION, msgNombreDeLignes, msgNombreDeLignes,
		GetLineCount ())
EndScript
