' Two objects of one thread share the report settings: once the second
' object's form has opened report B, the first object's calls go there too.
Dim first, second
Set first = CreateObject("Korvid.Tessel")
CheckNoError "first CreateObject"
CheckEqual first.ComponentName, "Validation Material Object", "first object before the second"
Set second = CreateObject("Korvid.Tessel")
CheckNoError "second CreateObject"
CheckEqual first.ComponentDescription, "This is a dummy material object for validation purposes only", "first object after the second"
CheckEqual second.ComponentName, "Validation Material Object", "second object"
CheckEqual first.m_num, 3, "first m_num"
CheckEqual second.m_num, 3, "second m_num"
Set second = Nothing
Set first = Nothing
Finish
