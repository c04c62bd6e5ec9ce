' The list, check, constant, calculation, independent-variable and cloning
' operations through the default IDispatch (other_operations.vbs name), and
' the ids in CAS mode (other_operations.vbs cas).
Dim copy, made
Set mo = CreateObject("Korvid.Tessel") : Show "CreateObject"
If WScript.Arguments(0) = "cas" Then
    r = mo.ComponentIds : Show "ComponentIds"
    mo.SetProp "fraction", "vapor", Array("7732-18-5"), "", "", Array(0.125, 0.25, 0.625) : Show "SetProp by CAS number"
    mo.SetProp "fraction", "vapor", Array("Water"), "", "", Array(1, 2, 3) : Show "SetProp by name"
    r = mo.GetProp("fraction", "vapor", Empty, "", "") : Show "GetProp"
    r = mo.GetComponentConstant(Array("normalBoilingPoint"), Array("7732-18-5", "Water")) : Show "constants by CAS number"
    WScript.Echo "END"
    WScript.Quit 0
End If
r = mo.ComponentIds : Show "ComponentIds"
r = mo.PhaseIds : Show "PhaseIds"
r = mo.AvailableProps : Show "AvailableProps"
r = mo.GetPropList : Show "GetPropList"
r = mo.GetNumComponents : Show "GetNumComponents"
r = mo.PropCheck(Array("temperature", "no such thing", "fraction")) : Show "PropCheck"
r = mo.PropCheck("temperature") : Show "PropCheck of one name"
r = mo.ValidityCheck(Array("temperature")) : Show "ValidityCheck"
mo.SetProp "temperature", "", Empty, "", "", Array(400) : Show "SetProp temperature"
mo.RemoveResults Array("temperature") : Show "RemoveResults"
r = mo.GetProp("temperature", "", Empty, "", "") : Show "GetProp temperature"
r = mo.GetComponentConstant(Array("molecularWeight"), Empty) : Show "one constant"
' displayRetVal cannot list two dimensions (error 9 after the first line).
r = mo.GetComponentConstant(Array("molecularWeight", "criticalTemperature"), Array("Ethane", "Methane")) : Show "two constants"
' Universal constants are random numbers: their type only.
r = VarType(mo.GetUniversalConstant(Array("gasConstant", "no constant"))) : Show "two universal constants"
mo.CalcProp Array("enthalpy"), Array("vapor"), "Mixture" : Show "CalcProp"
mo.CalcEquilibrium "TP", Array("temperature", "pressure") : Show "CalcEquilibrium"
r = mo.GetProp("temperature", "liquid", Empty, "", "mole") : Show "GetProp temperature liquid"
r = mo.GetProp("phaseFraction", "vapor", Empty, "", "") : Show "GetProp phaseFraction"
r = mo.GetIndependentVar(Array("TEMPERATURE", "PRESSURE", "temperature")) : Show "initial independent variables"
mo.SetIndependentVar Array("TEMPERATURE", "PRESSURE"), Array(300, 200000) : Show "SetIndependentVar"
mo.SetIndependentVar Array("temperature"), Array(250.5) : Show "SetIndependentVar renames slot 0"
mo.SetIndependentVar Array("PRESSURE", "TEMPERATURE", "VOLUME"), Array(1, 2, 3) : Show "a third accepted name"
mo.SetIndependentVar Array("TEMPERATURE"), Array("hot") : Show "a value that is no number"
' "hot" failed after slot 0 took the name TEMPERATURE: PRESSURE is gone.
r = mo.GetIndependentVar(Array("PRESSURE", "TEMPERATURE", "temperature")) : Show "after the failures"
' Each clone's form opens the next report.
mo.ComponentDescription = "described before duplicating" : Set copy = mo.Duplicate : Show "Duplicate"
r = copy.ComponentName & " / " & copy.ComponentDescription & " / " & copy.m_num : Show "the duplicate"
Set made = mo.CreateMaterialObject : Show "CreateMaterialObject"
r = made.ComponentIds : Show "the new object's ids"
WScript.Echo "END"
