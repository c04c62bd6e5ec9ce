' The form loaded a file of junk, huge and binary lines: the object has the
' 21 components the table holds, and the first is intact.
Dim mo
Set mo = CreateObject("Korvid.Tessel")
CheckNoError "CreateObject"
CheckEqual mo.m_num, 21, "m_num"
CheckEqual mo.GetNumComponents, 21, "GetNumComponents"
Set mo = Nothing
CheckNoError "release"
Finish
