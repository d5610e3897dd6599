Script Skip ()
	SayString ("non")
EndScript
