' A host session: create the object (the form is filled by korvid-autofill),
' call the four identification accessors through the default IDispatch.
Dim mo
Set mo = CreateObject("Korvid.Tessel")
CheckNoError "CreateObject"
CheckEqual mo.i, 8, "i after creation"
CheckEqual mo.j, 3, "j after creation"
CheckEqual mo.ComponentName, "Validation Material Object", "get ComponentName"
CheckEqual mo.ComponentDescription, "This is a dummy material object for validation purposes only", "get ComponentDescription"
mo.ComponentName = ""
CheckNoError "put ComponentName"
CheckEqual mo.ComponentName, "", "get ComponentName after put"
mo.ComponentDescription = "described"
CheckEqual mo.ComponentDescription, "described", "get ComponentDescription after put"
CheckEqual mo.m_num, 3, "m_num"
' Script engines cannot index typed arrays: the object lists them in the report.
Dim ids, boiling
ids = mo.m_componentIDs
boiling = mo.m_compBoilTemps
CheckEqual VarType(ids), vbArray + vbString, "m_componentIDs is an array of texts"
CheckEqual VarType(boiling), vbArray + vbDouble, "m_compBoilTemps is an array of doubles"
mo.displayRetVal ids
mo.displayRetVal boiling
CheckNoError "displayRetVal"
CheckEqual mo.i, 3, "displayRetVal leaves i past the last element"
CheckEqual IsEmpty(mo.m_compCASNos), True, "m_compCASNos is Empty"
mo.j = 42
CheckEqual mo.j, 42, "j is writable"
Set mo = Nothing
CheckNoError "release"
Finish
