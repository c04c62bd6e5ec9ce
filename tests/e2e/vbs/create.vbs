' A host that creates the object and reads how many components it has.
Set mo = CreateObject("Korvid.Tessel") : Show "CreateObject"
If IsObject(mo) Then r = mo.m_num : Show "m_num" : r = mo.ComponentName : Show "ComponentName"
Set mo = Nothing
WScript.Echo "END"
