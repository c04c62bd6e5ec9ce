' A host session whose components a person types into the definition form
' (korvid-form-check drives it with clicks and keys, saves them and presses
' OK): the object holds the two typed components, identified by CAS number.
Dim mo
Set mo = CreateObject("Korvid.Tessel")
CheckNoError "CreateObject"
CheckEqual mo.m_num, 2, "m_num"
Dim names, ids, boiling
names = mo.m_compNames
ids = mo.m_componentIDs
boiling = mo.m_compBoilTemps
CheckEqual VarType(ids), vbArray + vbString, "m_componentIDs is an array of texts"
' Script engines cannot index typed arrays: the object lists them in the report.
mo.displayRetVal names
mo.displayRetVal ids
mo.displayRetVal boiling
CheckNoError "displayRetVal"
Set mo = Nothing
CheckNoError "release"
Finish
