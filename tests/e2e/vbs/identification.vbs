' A host session: create the object (the form is filled by korvid-autofill),
' call the four identification accessors through the default IDispatch.
Dim mo
Set mo = CreateObject("Korvid.Tessel")
CheckNoError "CreateObject"
CheckEqual mo.ComponentName, "Validation Material Object", "get ComponentName"
CheckEqual mo.ComponentDescription, "This is a dummy material object for validation purposes only", "get ComponentDescription"
mo.ComponentName = ""
CheckNoError "put ComponentName"
CheckEqual mo.ComponentName, "", "get ComponentName after put"
mo.ComponentDescription = "described"
CheckEqual mo.ComponentDescription, "described", "get ComponentDescription after put"
CheckEqual mo.m_num, 3, "m_num"
CheckEqual UBound(mo.m_componentIDs), 2, "UBound(m_componentIDs)"
CheckEqual mo.m_componentIDs(0), "74-82-8", "m_componentIDs(0)"
CheckEqual mo.m_compNames(2), "Water", "m_compNames(2)"
CheckEqual mo.i, 8, "i after creation"
CheckEqual mo.j, 3, "j after creation"
CheckEqual IsEmpty(mo.m_compCASNos), True, "m_compCASNos is Empty"
mo.j = 42
CheckEqual mo.j, 42, "j is writable"
Set mo = Nothing
CheckNoError "release"
Finish
