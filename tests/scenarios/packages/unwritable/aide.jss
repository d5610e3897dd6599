Script Aide ()
EndScript
