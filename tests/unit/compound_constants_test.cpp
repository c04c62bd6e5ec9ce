// The component file shipped for Korvid.Material holds the units of the 1.1
// compound constants: each constant of water, read through
// GetCompoundConstant, against published values in SI.
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <variant>

#include "tests/unit/call_script.h"
#include "thermo_material/material.h"

namespace korvid::testing {
namespace {

struct Published {
    const wchar_t* constant;
    std::variant<double, const wchar_t*> value;
    double relativeTolerance;
};

// Water. Critical point and boiling point: IAPWS-95; molar mass: IUPAC
// atomic weights; acentric factor: Poling, Prausnitz and O'Connell, 5th ed.;
// parachor: Sugden's 52.0 (cm3/mol)(dyn/cm)^0.25 in SI; liquid density at
// 25 C: 997.047 kg/m3 over 0.01801528 kg/mol; formation enthalpy of the
// liquid: CODATA, -285.83 kJ/mol.
const Published kWater[] = {
    {L"casRegistryNumber", L"7732-18-5", 0},
    {L"chemicalFormula", L"H2O", 0},
    {L"iupacName", L"Water", 0},
    {L"molecularWeight", 18.01528, 1e-4},
    {L"normalBoilingPoint", 373.124, 1e-5},
    {L"criticalTemperature", 647.096, 1e-5},
    {L"criticalPressure", 22.064e6, 1e-4},
    {L"acentricFactor", 0.3443, 1e-3},
    {L"parachor", 52.0e-6 * 0.17782794100389228, 1e-4},
    {L"liquidDensityAt25C", 997.047 / 0.01801528, 1e-4},
    {L"standardFormationEnthalpyLiquid", -285830.0, 1e-4},
};

using CompoundConstants = CallScriptTest;

TEST_F(CompoundConstants, WaterInTheSiFileMatchesPublishedData) {
    const std::string path = "Z:" KORVID_SOURCE_DIR "/tests/data/three_components_si.como";
    std::ifstream file(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    ASSERT_FALSE(text.empty()) << path;
    platform_.files[L"C:\\si.como"] = std::wstring(text.begin(), text.end());
    platform_.environment[L"KORVID_COMO"] = L"C:\\si.como";
    thermo_material::Material material;

    std::vector<std::wstring> names;
    for (const Published& row : kWater) names.emplace_back(row.constant);
    com::Variant values;
    material.GetCompoundConstant(*com::MakeStringArray(names), *com::MakeStringArray({L"Water"}),
                                 values.get());
    ASSERT_EQ((*values).vt, VT_ARRAY | VT_VARIANT);
    for (LONG k = 0; k < static_cast<LONG>(std::size(kWater)); ++k) {
        const Published& row = kWater[k];
        com::Variant element;
        ASSERT_EQ(SafeArrayGetElement((*values).parray, &k, element.get()), S_OK);
        if (const auto* expected = std::get_if<const wchar_t*>(&row.value)) {
            ASSERT_EQ((*element).vt, VT_BSTR) << row.constant;
            EXPECT_STREQ((*element).bstrVal, *expected);
            continue;
        }
        const double expected = std::get<double>(row.value);
        ASSERT_EQ((*element).vt, VT_R8) << row.constant;
        EXPECT_NEAR((*element).dblVal, expected, std::fabs(expected) * row.relativeTolerance)
            << row.constant;
    }
}

}  // namespace
}  // namespace korvid::testing
