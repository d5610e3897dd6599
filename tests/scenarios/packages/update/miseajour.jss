Script Bonjour ()
SayString ("Bonjour")
EndScript
