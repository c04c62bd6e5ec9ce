#include "thermo_material/identifiers.h"

#include <string>
#include <vector>

#include "platform/platform.h"

namespace korvid::thermo_material {

namespace {

using component_definition::ComponentRecord;

constexpr unsigned kState = kOverall | kSinglePhase;
constexpr unsigned kPhaseCalc = kSinglePhase | kCalculated;

constexpr std::array<Property, 29> kProperties = {{
    {L"temperature", false, BasisUse::None, kState},
    {L"pressure", false, BasisUse::None, kState},
    {L"fraction", true, BasisUse::Convertible, kState},
    {L"flow", true, BasisUse::Convertible, kState},
    {L"totalFlow", false, BasisUse::Convertible, kState},
    {L"phaseFraction", false, BasisUse::Kept, kSinglePhase},
    {L"enthalpy", false, BasisUse::Kept, kOverall | kPhaseCalc},
    {L"entropy", false, BasisUse::Kept, kOverall | kPhaseCalc},
    {L"volume", false, BasisUse::Kept, kOverall | kPhaseCalc},
    {L"density", false, BasisUse::Kept, kOverall | kPhaseCalc},
    {L"gibbsEnergy", false, BasisUse::Kept, kPhaseCalc},
    {L"helmholtzEnergy", false, BasisUse::Kept, kPhaseCalc},
    {L"internalEnergy", false, BasisUse::Kept, kPhaseCalc},
    {L"heatCapacityCp", false, BasisUse::Kept, kPhaseCalc},
    {L"heatCapacityCv", false, BasisUse::Kept, kPhaseCalc},
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

constexpr std::array<CompoundConstant, 11> kCompoundConstants = {{
    {L"casRegistryNumber", nullptr, &ComponentRecord::cas},
    {L"chemicalFormula", nullptr, &ComponentRecord::formula},
    {L"iupacName", nullptr, &ComponentRecord::name},
    {L"molecularWeight", &ComponentRecord::mw, nullptr},
    {L"normalBoilingPoint", &ComponentRecord::tb, nullptr},
    {L"criticalTemperature", &ComponentRecord::tc, nullptr},
    {L"criticalPressure", &ComponentRecord::pc, nullptr},
    {L"acentricFactor", &ComponentRecord::omega, nullptr},
    {L"parachor", &ComponentRecord::parachor, nullptr},
    {L"liquidDensityAt25C", &ComponentRecord::ild, nullptr},
    {L"standardFormationEnthalpyLiquid", &ComponentRecord::hf, nullptr},
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
