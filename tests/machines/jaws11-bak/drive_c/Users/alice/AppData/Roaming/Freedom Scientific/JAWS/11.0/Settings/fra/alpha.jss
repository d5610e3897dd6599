Script Alpha ()
	SayString ("alpha")
EndScript
