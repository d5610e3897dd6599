;merge_tag Conflit
;merge_replacescript SayHello ConflitHello ()

Void Function ConflitHello ()
EndFunction
