' The list, check, constant, calculation, independent-variable and cloning
' operations through the default IDispatch. Typed results go to the report
' through displayRetVal; the test compares it byte for byte.
'   other_operations.vbs name   names as ids; Duplicate and CreateMaterialObject
'   other_operations.vbs cas    CAS numbers as ids
Dim mo, r

' A result that the script engine cannot index: its type, then the report.
Sub Show(value, vt, what)
    On Error Resume Next
    CheckNoError what
    CheckEqual VarType(value), vt, what & ": type"
    mo.displayRetVal value
    CheckNoError what & ": displayRetVal"
End Sub

Sub ShowProp(prop, phase, basis)
    On Error Resume Next
    Show mo.GetProp(prop, phase, Empty, "", basis), vbArray + vbDouble, "GetProp " & prop
End Sub

Sub ListsAndChecks()
    On Error Resume Next
    Show mo.ComponentIds, vbArray + vbString, "ComponentIds"
    Show mo.PhaseIds, vbArray + vbString, "PhaseIds"
    Show mo.AvailableProps, vbArray + vbString, "AvailableProps"
    Show mo.GetPropList, vbArray + vbString, "GetPropList"
    r = mo.GetNumComponents
    CheckNoError "GetNumComponents"
    CheckEqual r, 3, "GetNumComponents"
    CheckEqual VarType(r), vbLong, "GetNumComponents type"
    Show mo.PropCheck(Array("temperature", "no such thing", "fraction")), vbArray + vbBoolean, "PropCheck of a list"
    Show mo.PropCheck("temperature"), vbArray + vbBoolean, "PropCheck of one name"
    r = mo.ValidityCheck(Array("temperature"))
    CheckNoError "ValidityCheck"
    CheckEqual IsEmpty(r), True, "ValidityCheck gives Empty"
    mo.SetProp "temperature", "", Empty, "", "", Array(400)
    CheckNoError "SetProp temperature"
    mo.RemoveResults Array("temperature")
    CheckNoError "RemoveResults"
    ShowProp "temperature", "", ""
End Sub

Sub Constants()
    On Error Resume Next
    Show mo.GetComponentConstant(Array("molecularWeight"), Empty), vbArray + vbDouble, "one constant"
    ' Two names: property index fastest, one column per id; a 2-D array
    ' cannot be listed element by element (error 9 after the first line).
    r = mo.GetComponentConstant(Array("molecularWeight", "criticalTemperature"), Array("Ethane", "Methane"))
    CheckNoError "two constants"
    CheckEqual VarType(r), vbArray + vbDouble, "two constants: type"
    mo.displayRetVal r
    CheckError 9, "Korvid", "Subscript out of range", "two constants are two-dimensional"
    Show mo.GetComponentConstant(Array("MolecularWeight"), Array("Water", "Methane")), vbArray + vbDouble, "a name in another case"
    r = mo.GetComponentConstant("molecularWeight", Empty)
    CheckNoError "a single name"
    CheckEqual IsEmpty(r), True, "a name that is no list gives Empty"
    Show mo.GetUniversalConstant(Array("gasConstant", "no constant")), vbArray + vbDouble, "two universal constants"
    Show mo.GetUniversalConstant(Empty), vbArray + vbDouble, "universal constants for all components"
End Sub

Sub Calculation()
    On Error Resume Next
    mo.CalcProp Array("enthalpy"), Array("vapor"), "Mixture"
    CheckNoError "CalcProp"
    mo.CalcEquilibrium "TP", Array("temperature", "pressure")
    CheckNoError "CalcEquilibrium"
    ShowProp "temperature", "liquid", "mole"
    ShowProp "temperature", "overall", "mass"
    ShowProp "phaseFraction", "vapor", ""
End Sub

Sub IndependentVariables()
    On Error Resume Next
    Show mo.GetIndependentVar(Array("TEMPERATURE", "PRESSURE", "temperature")), vbArray + vbDouble, "initial independent variables"
    mo.SetIndependentVar Array("TEMPERATURE", "PRESSURE"), Array(300, 200000)
    CheckNoError "SetIndependentVar"
    Show mo.GetIndependentVar(Array("PRESSURE", "TEMPERATURE")), vbArray + vbDouble, "independent variables"
    mo.SetIndependentVar Array("temperature"), Array(250.5)
    CheckNoError "SetIndependentVar in lower case"
    Show mo.GetIndependentVar(Array("temperature", "TEMPERATURE", "PRESSURE")), vbArray + vbDouble, "slot 0 renamed"
    mo.SetIndependentVar Array("PRESSURE", "TEMPERATURE", "VOLUME"), Array(1, 2, 3)
    CheckError 9, "Korvid", "Subscript out of range", "a third accepted name"
    mo.SetIndependentVar Array("kvalues", "speed"), Array(5, 6)
    CheckNoError "names outside the table are skipped"
    mo.SetIndependentVar Array("TEMPERATURE"), Array("hot")
    CheckError 13, "Korvid", "Type mismatch", "a value that is no number"
    mo.SetIndependentVar "TEMPERATURE", 5
    CheckError 13, "Korvid", "Type mismatch", "names that are no list"
    Show mo.GetIndependentVar(Array("PRESSURE", "TEMPERATURE")), vbArray + vbDouble, "after the failures"
End Sub

Sub Cloning()
    On Error Resume Next
    Dim description, copy, made
    description = "described before duplicating"
    mo.ComponentDescription = description
    Set copy = mo.Duplicate
    CheckNoError "Duplicate"
    Check Not copy Is Nothing, "Duplicate gives an object"
    CheckEqual copy.ComponentName, "Calculated MO", "the duplicate's name"
    CheckEqual copy.ComponentDescription, description, "the duplicate's description"
    CheckEqual copy.m_num, 3, "the duplicate's m_num"
    Set made = mo.CreateMaterialObject
    CheckNoError "CreateMaterialObject"
    Check Not made Is Nothing, "CreateMaterialObject gives an object"
    CheckEqual made.ComponentName, "Validation Material Object", "the new object's name"
    Show made.ComponentIds, vbArray + vbString, "the new object's ids"
    Set made = Nothing
    Set copy = Nothing
End Sub

Sub CasIds()
    On Error Resume Next
    Show mo.ComponentIds, vbArray + vbString, "ComponentIds"
    mo.SetProp "fraction", "vapor", Array("7732-18-5"), "", "", Array(0.125, 0.25, 0.625)
    CheckNoError "SetProp with a CAS number"
    mo.SetProp "fraction", "vapor", Array("Water"), "", "", Array(1, 2, 3)
    CheckError 1, "ICapeThermoMaterialObject.SetProp", "Error from Korvid.ICapeThermoMaterialObject.SetProp: Invalid Components.", "a name is no id"
    ShowProp "fraction", "vapor", ""
    Show mo.GetComponentConstant(Array("normalBoilingPoint"), Array("7732-18-5", "Water")), vbArray + vbDouble, "constants by CAS number"
End Sub

' VBScript leaves a procedure at its first unhandled error: every Sub has its
' own On Error Resume Next so that a failure is checked, not skipped.
Set mo = CreateObject("Korvid.Tessel")
CheckNoError "CreateObject"
Select Case WScript.Arguments(0)
    Case "name"
        ListsAndChecks
        Constants
        Calculation
        IndependentVariables
        Cloning
    Case "cas"
        CasIds
    Case Else
        Check False, "unknown mode " & WScript.Arguments(0)
End Select
Set mo = Nothing
Finish
