; Messages des scripts du Bloc-notes.
Messages
@msgBienvenue_L
Bloc-notes : les scripts Vuni sont actifs.
@@
@msgBienvenue_S
Scripts actifs.
@@
@msgHorsDocument
Le focus n'est pas dans le document.
@@
@msgPosition
Ligne %1, colonne %2.
@@
@msgNombreDeLignes
Le document compte %1 lignes.
@@
EndMessages
