;merge_tag Touches
;merge_addendfunction AutoStartEvent TouchesStart ()
;merge_addendfunction KeyPressedEvent TouchesKey ()

Void Function TouchesStart ()
EndFunction

Void Function TouchesKey ()
EndFunction
