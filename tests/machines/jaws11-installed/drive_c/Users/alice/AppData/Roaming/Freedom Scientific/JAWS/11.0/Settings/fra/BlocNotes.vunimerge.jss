; Ajouts des scripts du Bloc-notes au script par défaut.
; Les lignes de directives commencent par un point-virgule : elles restent des commentaires
; pour le compilateur.
;merge_tag BlocNotes
;merge_addendscript SayLine BlocNotesApresLigne ()
;merge_addendfunction AutoStartEvent BlocNotesDemarrage ()
;merge_addendinclude Include "notepad.jsh"

Void Function BlocNotesApresLigne ()
	; Rien à dire hors du Bloc-notes.
	If GetActiveConfiguration () != "notepad" Then
		Return
	EndIf
	If GetLineCount () == 1 Then
		SayString ("Seule ligne")
	EndIf
EndFunction

Void Function BlocNotesDemarrage ()
	; Rappel de la touche qui donne la position.
	SayString ("Position : " + ToucheDirePosition)
EndFunction
