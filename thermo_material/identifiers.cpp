#include "thermo_material/identifiers.h"

#include <string>
#include <vector>

#include "platform/platform.h"

namespace korvid::thermo_material {

namespace {

constexpr unsigned kState = kOverall | kSinglePhase;
constexpr unsigned kPhaseCalc = kSinglePhase | kCalculated;

constexpr std::array<Property, 29> kProperties = {{
    {L"temperature", false, BasisUse::None, kState},
    {L"pressure", false, BasisUse::None, kState},
    {L"fraction", true, BasisUse::Fraction, kState},
    {L"flow", true, BasisUse::PerCompound, kState},
    {L"totalFlow", false, BasisUse::AmountPer, kState},
    {L"phaseFraction", false, BasisUse::PhaseShare, kSinglePhase},
    {L"enthalpy", false, BasisUse::PerAmount, kOverall | kPhaseCalc},
    {L"entropy", false, BasisUse::PerAmount, kOverall | kPhaseCalc},
    {L"volume", false, BasisUse::PerAmount, kOverall | kPhaseCalc},
    {L"density", false, BasisUse::AmountPer, kOverall | kPhaseCalc},
    {L"gibbsEnergy", false, BasisUse::PerAmount, kPhaseCalc},
    {L"helmholtzEnergy", false, BasisUse::PerAmount, kPhaseCalc},
    {L"internalEnergy", false, BasisUse::PerAmount, kPhaseCalc},
    {L"heatCapacityCp", false, BasisUse::PerAmount, kPhaseCalc},
    {L"heatCapacityCv", false, BasisUse::PerAmount, kPhaseCalc},
    {L"compressibilityFactor", false, BasisUse::None, kPhaseCalc},
    {L"jouleThomsonCoefficient", false, BasisUse::None, kPhaseCalc},
    {L"molecularWeight", false, BasisUse::None, kPhaseCalc},
    {L"speedOfSound", false, BasisUse::None, kPhaseCalc},
    {L"thermalConductivity", false, BasisUse::None, kPhaseCalc},
    {L"viscosity", false, BasisUse::None, kPhaseCalc},
    {L"activity", true, BasisUse::None, kPhaseCalc},
    {L"activityCoefficient", true, BasisUse::None, kPhaseCalc},
    {L"fugacity", true, BasisUse::None, kPhaseCalc},
    {L"fugacityCoefficient", true, BasisUse::None, kPhaseCalc},
    {L"logFugacityCoefficient", true, BasisUse::None, kPhaseCalc},
    {L"kvalue", true, BasisUse::None, kTwoPhase},
    {L"logKvalue", true, BasisUse::None, kTwoPhase},
    {L"surfaceTension", false, BasisUse::None, kTwoPhase},
}};

// Their columns in component_record.h. Numbers are served as the table holds
// them, taken to be in the units of the 1.1 constants (docs/users-guide.md,
// "The component file").
constexpr std::array<CompoundConstant, 11> kCompoundConstants = {{
    {L"casRegistryNumber", 1},
    {L"chemicalFormula", 3},
    {L"iupacName", 0},
    {L"molecularWeight", 8},
    {L"normalBoilingPoint", 4},
    {L"criticalTemperature", 6},
    {L"criticalPressure", 5},
    {L"acentricFactor", 7},
    {L"parachor", 9},
    {L"liquidDensityAt25C", 16},
    {L"standardFormationEnthalpyLiquid", 15},
}};

}  // namespace

bool SameIdentifier(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    // ASCII letters fold alike in every locale: compared here, without a copy.
    // Anything beyond ASCII goes to the locale's upper case.
    for (size_t k = 0; k < a.size(); ++k) {
        const wchar_t x = a[k], y = b[k];
        if (x >= 0x80 || y >= 0x80) {
            auto& platform = platform::CurrentPlatform();
            return platform.UpperCase(a) == platform.UpperCase(b);
        }
        if (x != y && ((x | 0x20) != (y | 0x20) || (x | 0x20) < L'a' || (x | 0x20) > L'z'))
            return false;
    }
    return true;
}

const Property* FindProperty(std::wstring_view name, PropertyScope scope) {
    for (const Property& property : kProperties) {
        if ((property.scopes & scope) && SameIdentifier(property.name, name)) return &property;
    }
    return nullptr;
}

std::vector<std::wstring> PropertyNames(PropertyScope scope) {
    std::vector<std::wstring> names;
    for (const Property& property : kProperties) {
        if (property.scopes & scope) names.emplace_back(property.name);
    }
    return names;
}

std::optional<size_t> FindPhase(std::wstring_view label) {
    for (size_t k = 0; k < kPhases.size(); ++k) {
        if (SameIdentifier(kPhases[k].label, label)) return k;
    }
    return std::nullopt;
}

const CompoundConstant* FindCompoundConstant(std::wstring_view name) {
    for (const CompoundConstant& constant : kCompoundConstants) {
        if (SameIdentifier(constant.name, name)) return &constant;
    }
    return nullptr;
}

std::vector<std::wstring> CompoundConstantNames() {
    std::vector<std::wstring> names;
    for (const CompoundConstant& constant : kCompoundConstants) names.emplace_back(constant.name);
    return names;
}

}  // namespace korvid::thermo_material
