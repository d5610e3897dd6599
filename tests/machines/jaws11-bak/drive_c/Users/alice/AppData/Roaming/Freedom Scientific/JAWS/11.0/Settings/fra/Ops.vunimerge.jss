;merge_tag Ops
;merge_addendscript SayHello OpsHello ()

Void Function OpsHello ()
EndFunction
