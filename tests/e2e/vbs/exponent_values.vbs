' Numbers that the general format writes in exponent form, and plain ones
' around it, loaded from a component file: each constant comes back as the
' file held it, and SetProp traces each in the user's locale.
Dim mo, name, value
Set mo = CreateObject("Korvid.Tessel")
CheckNoError "CreateObject"
For Each name In Array("normalBoilingPoint", "criticalPressure", "criticalTemperature", "acentricFactor", "molecularWeight")
    mo.displayRetVal mo.GetComponentConstant(Array(name), Empty)
    CheckNoError "GetComponentConstant " & name
Next
For Each value In Array(0.0000119, -2.5E+20, 1E+15, 0.0001, 123456.789)
    mo.SetProp "temperature", "vapor", Empty, "", "mole", Array(value)
    CheckNoError "SetProp " & value
Next
Set mo = Nothing
Finish
