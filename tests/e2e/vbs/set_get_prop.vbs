' SetProp and GetProp through the default IDispatch with VBScript arrays
' (arrays of variants, by reference when held in a variable). Typed results
' cannot be read by the script engine: Show has the object list them in the
' report, which the test compares byte for byte.
'   set_get_prop.vbs report   one object, every dump form and refusal
'   set_get_prop.vbs warned   two objects: the mismatch box once per creation
Const SetSource = "ICapeThermoMaterialObject.SetProp"
Const GetSource = "ICapeThermoMaterialObject.GetProp"
Const Unsupported = " is not supported by this material object"
Const BadBasis = " is not a valid BASIS for this material Object."
Dim mo, r

' GetProp, then its result into the report.
Sub Show(prop, phase, ids, calcType, basis)
    On Error Resume Next
    Dim values
    values = mo.GetProp(prop, phase, ids, calcType, basis)
    CheckNoError "GetProp " & prop & "/" & phase & "/" & basis
    CheckEqual VarType(values), vbArray + vbDouble, "GetProp " & prop & " gives an array of doubles"
    mo.displayRetVal values
    CheckNoError "displayRetVal"
End Sub

Sub SetRefused(prop, phase, ids, basis, values, number, source, description)
    On Error Resume Next
    mo.SetProp prop, phase, ids, "", basis, values
    CheckError number, source, description, "SetProp [" & prop & "]"
End Sub

Sub GetRefused(prop, phase, ids, basis, number, source, description)
    On Error Resume Next
    r = mo.GetProp(prop, phase, ids, "", basis)
    CheckError number, source, description, "GetProp [" & prop & "]"
    CheckEqual IsEmpty(r), True, "a refused GetProp leaves its result alone"
End Sub

Sub ReportSession()
    On Error Resume Next
    Set mo = CreateObject("Korvid.Tessel")
    CheckNoError "CreateObject"
    ' The store's initial values.
    Show "temperature", "overall", Empty, "", "mole"
    Show "pressure", "vapor", Empty, "", "mass"
    Show "fugacity", "", Empty, "", ""
    ' Per-component keys: one value per component, whatever compIds names.
    mo.SetProp "fraction", "vapor", Empty, "calc", "mole", Array(0.2, 0.3, 0.5)
    CheckNoError "SetProp fraction"
    Show "FRACTION", "VAPOR", Empty, "", ""
    Show "fraction", "vapor", Empty, "", "mass"
    Show "fraction", "liquid", Empty, "", "mole"
    mo.SetProp "fugacity", "liquid", Array("Methane", "Water"), "c", "MASS", Array(1.5, 2.5, 3.5)
    CheckNoError "SetProp fugacity"
    Show "Fugacity", "LIQUID", Array("Water"), "c", "Mass"
    Dim ids : ids = Array("Ethane")
    mo.SetProp "VaporPressure.DTemperature", "overall", ids, "", "moles", Array(10, 20, 30)
    CheckNoError "SetProp VaporPressure.DTemperature"
    Show "vaporpressure.dtemperature", "", Empty, "", ""
    Show "vaporPressure", "", Empty, "", ""
    ' One-value keys: the first component's value stands for the material.
    mo.SetProp "temperature", "", Empty, "", "", Array(350)
    CheckNoError "SetProp temperature"
    Show "TEMPERATURE", "overall", Empty, "", "mole"
    mo.SetProp "pressure", "solid", Empty, "", "", Array(200000.5, 1, 2)
    CheckNoError "SetProp pressure"
    Show "Pressure", "solid", Empty, "", ""
    SetRefused "viscosity", "vapor", Empty, "", 0.001, 13, "Korvid", "Type mismatch"
    mo.SetProp "viscosity", "vapor", Empty, "", "", Array(0.001)
    CheckNoError "SetProp viscosity"
    Show "viscosity", "vapor", Array("Water"), "", ""
    ' Refusals, in the order of the checks.
    SetRefused "jouleThomsonCoefficient", "vapor", Empty, "", Array(1), 1, SetSource, "jouleThomsonCoefficient" & Unsupported
    SetRefused "", "vapor", Empty, "", Array(1), 1, SetSource, Unsupported
    GetRefused "temperature", "GasLiquid", Empty, "", 1, GetSource, "GasLiquid" & Unsupported
    SetRefused "fraction", "vapor", Array("Propane"), "", Array(1, 2, 3), 1, SetSource, _
        "Error from Korvid.ICapeThermoMaterialObject.SetProp: Invalid Components."
    GetRefused "fraction", "vapor", Array("methane", "Nitrogen"), "", 1, GetSource, _
        "Error from Korvid.ICapeThermoMaterialObject.GetProp: Invalid Components."
    SetRefused "fraction", "vapor", Empty, "weight", Array(1), 1, SetSource, "weight" & BadBasis
    GetRefused "fraction", "vapor", Empty, "molar", 1, GetSource, "molar" & BadBasis
    GetRefused "energy", "", Empty, "", 2, GetSource, "Invalid Call to the Material Object. energy is not administered by the MO"
    SetRefused "temperature.DPressure", "vapor", Empty, "", Array(1), 2, SetSource, _
        "Invalid Call to the Material Object. temperature.DPressure is not administered by the MO"
    SetRefused "density ", "GasLiquid", Array("Propane"), "weight", Array(1), 1, SetSource, "density " & Unsupported
    ' Run-time errors from the values: the cells before the failure stay written.
    SetRefused "fraction", "overall", Empty, "", Array(7, 8), 9, "Korvid", "Subscript out of range"
    Show "fraction", "overall", Empty, "", ""
    SetRefused "fraction", "solid", Empty, "", Array(4, "abc", 6), 13, "Korvid", "Type mismatch"
    Show "fraction", "solid", Empty, "", ""
    ' values shorter than compIds: error 9 in the dump, nothing stored.
    SetRefused "fraction", "vapor", Array("Methane", "Ethane"), "", Array(5), 9, "Korvid", "Subscript out of range"
    Show "fraction", "vapor", Empty, "", ""
    CheckEqual mo.i, 3, "the last read leaves i past the last component"
    Set mo = Nothing
End Sub

' The mismatch box shows once per object creation, for GetProp as for SetProp.
Sub WarnedSession()
    On Error Resume Next
    Dim first, second
    Set mo = CreateObject("Korvid.Tessel")
    Set first = mo
    GetRefused "fraction", "", Array("Propane"), "", 1, GetSource, _
        "Error from Korvid.ICapeThermoMaterialObject.GetProp: Invalid Components."
    SetRefused "fraction", "", Array("Propane"), "", Array(1), 1, SetSource, _
        "Error from Korvid.ICapeThermoMaterialObject.SetProp: Invalid Components."
    Set second = CreateObject("Korvid.Tessel")
    CheckNoError "second CreateObject"
    Set mo = second
    SetRefused "fraction", "", Array("Propane"), "", Array(1), 1, SetSource, _
        "Error from Korvid.ICapeThermoMaterialObject.SetProp: Invalid Components."
    ' With reporting off PropCheck answers an array type that holds no array.
    r = mo.PropCheck(Array("temperature"))
    CheckNoError "PropCheck with reporting off"
    CheckEqual VarType(r), vbArray + vbBoolean, "PropCheck with reporting off: type"
    r = Empty
    Set mo = first
    GetRefused "fraction", "", Array("74-82-8"), "", 1, GetSource, _
        "Error from Korvid.ICapeThermoMaterialObject.GetProp: Invalid Components."
    Set mo = Nothing
    Set first = Nothing
    Set second = Nothing
End Sub

' VBScript leaves a procedure at its first unhandled error: every Sub has its
' own On Error Resume Next so that a failure is checked, not skipped.
Select Case WScript.Arguments(0)
    Case "report": ReportSession
    Case "warned": WarnedSession
    Case Else: Check False, "unknown mode " & WScript.Arguments(0)
End Select
Finish
