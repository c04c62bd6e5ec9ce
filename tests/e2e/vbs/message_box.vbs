' Created unattended with a display present: GetProp with component ids that
' are not the object's reports its message box and goes on, as after OK (the
' first time only, as a person's box).
Set mo = CreateObject("Korvid.Tessel")
r = mo.GetProp("fraction", "overall", Array("Argon"), "Mixture", "mole") : Show "GetProp of Argon"
r = mo.GetProp("fraction", "overall", Array("Argon"), "Mixture", "mole") : Show "again (no box)"
r = mo.GetNumComponents() : Show "GetNumComponents"
