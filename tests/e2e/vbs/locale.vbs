' Numbers in the user's locale: the constants of a component file that holds
' plain numbers and numbers in exponent form, and the same values traced.
Dim name, value
Set mo = CreateObject("Korvid.Tessel") : Show "CreateObject"
For Each name In Array("normalBoilingPoint", "criticalPressure", "criticalTemperature", "acentricFactor", "molecularWeight")
    r = mo.GetComponentConstant(Array(name), Empty) : Show name
Next
For Each value In Array(0.0000119, CSng(0.0000119), -2.5E+20, 1E+15, 0.0001, 123456.789, 300.5)
    mo.SetProp "temperature", "vapor", Empty, "", "mole", Array(value) : Show "SetProp"
Next
mo.SetIndependentVar Array("temperature"), Array(300.5) : Show "SetIndependentVar"
Set mo = Nothing
WScript.Echo "END"
