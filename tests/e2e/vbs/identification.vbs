' Identification and the public members through the default IDispatch. Then a
' second object: its form opens a second report, which the first object's
' calls reach too (the report settings belong to the thread).
Dim second
Set mo = CreateObject("Korvid.Tessel") : Show "CreateObject"
r = mo.i & " " & mo.j : Show "i and j after creation"
r = mo.ComponentName & " / " & mo.ComponentDescription : Show "ComponentName and ComponentDescription"
mo.ComponentName = "" : r = mo.ComponentName : Show "ComponentName after put"
mo.ComponentDescription = "described" : r = mo.ComponentDescription : Show "ComponentDescription after put"
r = mo.m_num : Show "m_num"
r = mo.m_componentIDs : Show "m_componentIDs"
r = mo.m_compBoilTemps : Show "m_compBoilTemps"
r = mo.i : Show "i after displayRetVal"
r = mo.m_compCASNos : Show "m_compCASNos"
mo.j = 42 : r = mo.j : Show "j after put"
mo.j = 1E+20 : Show "j too large"
Set second = CreateObject("Korvid.Tessel") : Show "second CreateObject"
r = mo.ComponentDescription & " / " & second.ComponentName & " / " & second.m_num : Show "both objects"
WScript.Echo "END"
