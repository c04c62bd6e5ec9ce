' Run in a locale whose decimal separator is a comma, with a component file
' written in that locale: the constants come back as numbers, and the numbers
' the object traces use the comma.
Dim mo, boiling
Set mo = CreateObject("Korvid.Tessel")
CheckNoError "CreateObject"
CheckEqual mo.m_num, 3, "m_num"
boiling = mo.GetComponentConstant(Array("normalBoilingPoint"), Empty)
CheckNoError "GetComponentConstant"
CheckEqual VarType(boiling), vbArray + vbDouble, "the constants are an array of doubles"
mo.displayRetVal boiling
mo.SetIndependentVar Array("temperature"), Array(300.5)
CheckNoError "SetIndependentVar"
mo.SetProp "fraction", "vapor", Empty, "", "mole", Array(0.25, 0.25, 0.5)
CheckNoError "SetProp"
CheckEqual mo.GetNumComponents, 3, "GetNumComponents"
Set mo = Nothing
CheckNoError "release"
Finish
