Script Other ()
EndScript
