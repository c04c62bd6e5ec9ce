' The form was refused several report names before one was accepted: the
' object has the loaded components and traces into the accepted report.
Dim mo
Set mo = CreateObject("Korvid.Tessel")
CheckNoError "CreateObject"
CheckEqual mo.m_num, 3, "m_num"
CheckEqual mo.ComponentName, "Validation Material Object", "get ComponentName"
Set mo = Nothing
CheckNoError "release"
Finish
