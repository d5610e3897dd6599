Script Zeta ()
	SayString ("zeta")
EndScript
