' SetProp and GetProp through the default IDispatch with VBScript arrays
' (arrays of variants, by reference when held in a variable): round trips,
' refusals, run-time errors from the values. A second object, made with
' reporting off: the component mismatch box shows once per creation.
Dim first, ids
Set mo = CreateObject("Korvid.Tessel") : Show "CreateObject"
r = mo.GetProp("temperature", "overall", Empty, "", "mole") : Show "the initial temperature"
' Per-component keys: one value per component, whatever compIds names.
mo.SetProp "fraction", "vapor", Empty, "calc", "mole", Array(0.2, 0.3, 0.5) : Show "SetProp fraction"
r = mo.GetProp("FRACTION", "VAPOR", Empty, "", "") : Show "GetProp FRACTION"
mo.SetProp "fugacity", "liquid", Array("Methane", "Water"), "c", "MASS", Array(1.5, 2.5, 3.5) : Show "SetProp fugacity"
r = mo.GetProp("Fugacity", "LIQUID", Array("Water"), "c", "Mass") : Show "GetProp Fugacity"
ids = Array("Ethane")
mo.SetProp "VaporPressure.DTemperature", "overall", ids, "", "moles", Array(10, 20, 30) : Show "SetProp derivative"
r = mo.GetProp("vaporpressure.dtemperature", "", Empty, "", "") : Show "GetProp derivative"
r = mo.GetProp("vaporPressure", "", Empty, "", "") : Show "GetProp its stem"
' One-value keys: the first component's value stands for the material.
mo.SetProp "pressure", "VaporLiquid", Empty, "", "", Array(200000.5, 1, 2) : Show "SetProp pressure"
r = mo.GetProp("Pressure", "vaporliquid", Empty, "", "") : Show "GetProp Pressure"
mo.SetProp "viscosity", "vapor", Empty, "calc " & Chr(233) & Chr(128) & Chr(223), "", Array(0.001) : Show "a calcType beyond ASCII (in the report's code page)"
mo.SetProp "viscosity", "vapor", Empty, "", "", 0.001 : Show "a value that is no array"
' Refusals, in the order of the checks.
mo.SetProp "jouleThomsonCoefficient", "vapor", Empty, "", "", Array(1) : Show "no trailing blank"
r = mo.GetProp("temperature", "GasLiquid", Empty, "", "") : Show "a phase"
r = mo.i : Show "i after a refusal"
mo.SetProp "fraction", "vapor", Array("Propane"), "", "", Array(1, 2, 3) : Show "a component (the box)"
r = mo.GetProp("fraction", "vapor", Array("methane", "Nitrogen"), "", "") : Show "components (no box)"
r = mo.GetProp("fraction", "vapor", Empty, "", "molar") : Show "a basis"
r = mo.GetProp("energy", "", Empty, "", "") : Show "not administered"
mo.SetProp "density ", "GasLiquid", Array("Propane"), "", "weight", Array(1) : Show "the property first"
' Run-time errors from the values: the cells before the failure stay written.
mo.SetProp "fraction", "solid", Empty, "", "", Array(4, "abc", 6) : Show "a text"
r = mo.GetProp("fraction", "solid", Empty, "", "") : Show "GetProp after error 13"
mo.SetProp "fraction", "vapor", Array("Methane", "Ethane"), "", "", Array(5) : Show "values short of compIds"
r = mo.GetProp("fraction", "vapor", Empty, "", "") : Show "GetProp unchanged"
Set first = mo
Set mo = CreateObject("Korvid.Tessel") : Show "second CreateObject"
r = mo.GetProp("fraction", "", Array("Propane"), "", "") : Show "second object's first mismatch (the box)"
mo.SetProp "fraction", "", Array("Propane"), "", "", Array(1) : Show "second object's next (no box)"
r = first.GetProp("fraction", "", Array("74-82-8"), "", "") : Show "the first object's (no box)"
Set first = Nothing : Set mo = Nothing : Show "release"
WScript.Echo "END"
