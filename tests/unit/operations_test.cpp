// Sessions of calls through IDispatch, each compared with its reviewed
// transcript in tests/data/expected/: the report's lines, message boxes,
// results and errors of every call.
#include "tests/unit/call_script.h"

namespace korvid::testing {
namespace {

using Operations = CallScriptTest;

TEST_F(Operations, IdentificationAndLists) {
    RunScript("lists", R"(
new lists
ComponentName
put ComponentName "Feed"
ComponentDescription
ComponentIds
PhaseIds
GetNumComponents
AvailableProps
GetPropList
PropCheck ["temperature" "nothing"]
PropCheck "temperature"
ValidityCheck ["temperature"]
RemoveResults ["temperature"]
i
put m_compNames ["a" "b" "c" "d"]
ComponentIds
put m_compNames ["a" "b"]
ComponentIds
put m_compNames "a"
ComponentIds
put m_num 0
GetNumComponents
components 0
GetNumComponents
components 3
new - cas
ComponentIds
PropCheck ["temperature"]
m_componentIDs
m_compFormulaes
m_compBoilTemps
m_compMolWts
m_compCASNos
m_num
)");
}

TEST_F(Operations, SetPropAndGetProp) {
    RunScript("props", R"(
new props
GetProp "temperature" "overall" empty "" "mole"
GetProp "Pressure" "solid" empty "" "MASS"
GetProp "fugacity" "liquid" empty "" ""
GetProp "phasefraction" "" empty "" "moles"
GetProp "flow" "VaporLiquid" empty "" ""
GetProp "VaporPressure.DTemperature" "vapor" empty "" ""
SetProp "fraction" "vapor" empty "calc" "mole" r8[0.2 0.3 0.5]
GetProp "FRACTION" "VAPOR" empty "" ""
GetProp "fraction" "vapor" empty "" "mass"
GetProp "fraction" "" empty "" ""
SetProp "fugacity" "liquid" ["Methane" "Water"] "c" "MASS" r8[1.5 2.5]
GetProp "Fugacity" "LIQUID" ["Water"] "c" "Mass"
SetProp "temperature" "" empty "" "" r8[350]
GetProp "temperature" "overall" empty "" "mole"
SetProp "pressure" "solid" empty "" "" r8[200000.5 1 2]
GetProp "Pressure" "solid" empty "" ""
SetProp "viscosity" "vapor" "Water" "" "" 0.001
SetProp "fraction" "overall" empty "" "" r8[7 8]
GetProp "fraction" "overall" empty "" ""
SetProp "fraction" "overall" empty "" "" [4 "abc" 6]
SetProp "fraction" "overall" empty "" "" str["1e400" "1" "2"]
SetProp "fraction" "overall" empty "" "" r8[1 2 3]@1
SetProp "fraction" "solid" empty "" "" r8[0.00001 -83.82 1e21]
GetProp "fraction" "solid" empty "" ""
# refusals, in the order property, phase, components, basis, slot
SetProp "jouleThomsonCoefficient" "vapor" empty "" "" r8[1]
SetProp "" "vapor" empty "" "" r8[1]
GetProp "temperature" "GasLiquid" empty "" ""
i
GetProp "density " "GasLiquid" empty "" "weight"
SetProp "fraction" "vapor" ["Propane"] "" "" r8[1]
GetProp "fraction" "vapor" ["methane" "Nitrogen"] "" ""
SetProp "fraction" "vapor" empty "" "weight" r8[1]
GetProp "energy" "" empty "" ""
i
SetProp "temperature.DPressure" "vapor" empty "" "" r8[1]
i
j
# the short way of SetProp and GetProp gives what the type library's way gives
both GetProp "fraction" "vapor" ["Water" "Methane"] "" ""
both SetProp "fraction" "vapor" empty "" "mole" r8[0.1 0.2 0.7]
both GetProp "energy" "" empty "" ""
both SetProp "jouleThomsonCoefficient" "vapor" empty "" "" r8[1]
both GetProp "fraction" "gas" empty "" "mole"
both SetProp "fraction" "vapor" empty "" "weight" r8[1]
both SetProp "fraction" "overall" empty "" "" r8[7 8]
both SetProp "fraction" "vapor" empty "" "" 5
new props2
SetProp "fraction" "vapor" ["Methane"] "" "" r8[5]
GetProp "fraction" "vapor" empty "" ""
)");
}

TEST_F(Operations, ConstantsAndCalculations) {
    RunScript("calculations", R"(
new calc
GetComponentConstant ["criticalTemperature" "criticalPressure" "molecularWeight" "normalBoilingPoint" "CriticalTemperature"] empty
GetComponentConstant ["acentricFactor" "idealGasEnthalpyOfFormation" "heatCapacityCp2" "liquidDensity"] ["Water" "Methane"]
GetComponentConstant "criticalTemperature" empty
GetComponentConstant ["criticalTemperature"] ["Propane"]
GetUniversalConstant ["avogadroConstant" "gasConstant"]
GetUniversalConstant "gasConstant"
CalcProp ["fugacity" "enthalpy"] ["vapor" "liquid"] "mixture"
CalcEquilibrium "TP" ["temperature" "pressure"]
GetProp "fraction" "liquid" empty "" ""
GetProp "phasefraction" "vapor" empty "" ""
GetIndependentVar ["TEMPERATURE" "PRESSURE"]
SetIndependentVar ["TEMPERATURE" "PRESSURE"] [300 200000]
GetIndependentVar ["PRESSURE" "TEMPERATURE"]
SetIndependentVar ["temperature"] [250]
GetIndependentVar ["temperature"]
GetIndependentVar empty
SetIndependentVar ["enthalpy"] r8[1]
displayRetVal &r8[0.00001 1e-7 123456789012345 -0.5]
displayRetVal &[2.5f "x" true]
displayRetVal &"no array"
copyVariant [1 "a"]
setFraction &&r8[0 0 0] &r8[1 2]
setFraction &&r8[0 0 0] &r8[5 6]@1
setFraction &&r8[0 0 0] &r8[1 2 3 4]
setFraction &&r8[0 0 0] &str["1"]
setFraction &&r8[0 0 0] &1.5
setFraction &&never:r8 &r8[1]
setFractionValue &1s &&r8[0 0 0] &r8[9 9]
put m_componentIDs ["a" "b" "c" "d"]
CalcEquilibrium "TP" ["temperature"]
form dup
Duplicate
@1 ComponentName
@1 GetProp "fraction" "liquid" empty "" ""
form made
CreateMaterialObject
@2 m_componentIDs
CreateMaterialObject
form
CreateMaterialObject
GetNumComponents
)");
}

TEST_F(Operations, LookupHelpers) {
    RunScript("lookups", R"(
new look
CheckNonCstProp &["fraction" "Fugacity.DTemperature" "temperature.dpressure"] &empty
CheckNonCstProp &["fraction" "criticalTemperature"] &empty
CheckNonCstProp &"fraction" &empty
CheckCstProp &["criticalTemperature" "acentricFactor"] &empty
CheckCstProp &["criticalTemperature.DTemperature"] &empty
CheckGlobalVar &"fraction"
CheckGlobalVar &["FRACTION"]
CheckGlobalVar &never:str
IsInPhaseList &["vapor" "VaporLiquid" "overall"]
IsInPhaseList &["gas"]
i
CheckComponent &["Water" "methane"]
CheckComponent &["Propane"]
CheckComponent &[1 "Water"]
GetCompIndex &"Ethane"
GetCompIndex &"Propane"
GetBasisIndex &"moles"
GetBasisIndex &"MASS"
GetBasisIndex &"weight"
GetPhaseIndex &"VaporLiquid"
GetPhaseIndex &"gas"
)");
}

TEST_F(Operations, ArgumentShapes) {
    RunScript("shapes", R"(
new shapes
SetProp "fraction" "vapor" never:str "" "" r8[1 2 3]
SetProp "fraction" "vapor" empty "" "" never:r8
SetProp "fraction" "vapor" null "" "" r8[1 2 3]
SetProp "fraction" "vapor" empty "" "" [1 2 3]
SetProp "fraction" "vapor" empty "" "" str["1" "2" "3"]
SetProp "fraction" "vapor" empty "" "" i4[1 2 3]
SetProp "fraction" "vapor" empty "" "" &r8[4 5 6]
SetProp "fraction" "vapor" empty "" "" 5
SetProp "fraction" "vapor" empty "" "" empty
SetProp "fraction" "vapor" [1 2] "" "" r8[1 2]
SetProp 5 "vapor" empty "" "" r8[1]
SetProp null "vapor" empty "" "" r8[1]
SetProp r8[1] "vapor" empty "" "" r8[1]
SetProp "fraction" "vapor" empty "" ""
SetProp "fraction" "vapor" empty "" "" r8[1] 7
GetProp "fraction" "vapor" empty "" missing
GetProp "fraction" "vapor" never:var "" ""
GetProp "fraction" "vapor" ["Water"]@1 "" ""
GetComponentConstant never:str empty
GetComponentConstant ["criticalTemperature"] never:str
GetUniversalConstant never:str
GetIndependentVar never:str
CalcEquilibrium "TP" never:str
SetIndependentVar never:str r8[1]
PropCheck never:str
put i 1e12
put i "abc"
put m_num 3.7
m_num
ComponentName 1
# failed calls, the short way and the type library's, free their error objects
new -
repeat 20000 GetProp "fraction" "fraction" empty "" ""
repeat 20000 CalcEquilibrium "TP" never:str
)");
}

class GermanOperations : public CallScriptTest {
protected:
    GermanOperations() : CallScriptTest(0x0407) {}
};

TEST_F(GermanOperations, NumbersFollowTheUsersLocale) {
    RunScript("german", R"(
new de
SetProp "fraction" "vapor" empty "" "" str["0,25" "1.5" "1e-7"]
GetProp "fraction" "vapor" empty "" ""
SetProp "fraction" "liquid" empty "" "" [2.5f 2.5e-7f 0.5]
SetIndependentVar ["temperature"] ["300,5"]
GetIndependentVar ["temperature"]
displayRetVal &[0.25 2.5e-7f 1e-7]
)");
}

}  // namespace
}  // namespace korvid::testing
