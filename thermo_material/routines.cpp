// ICapeThermoPropertyRoutine and ICapeThermoEquilibriumRoutine. The material
// computes no thermodynamics, visibly: a calculation checks its arguments,
// traces them and leaves each value asked for at its neutral value, so that a
// unit's calculation runs to its end and its report shows what it asked. A
// flash fixes what its specifications name, gives the rest neutral values and
// marks the present phases at equilibrium. The lists name what it calculates.
#include "thermo_material/material.h"

namespace korvid::thermo_material {

namespace {

// The neutral values: those the 0.9 object's store holds before anything is
// set (273.15 K, 101325 Pa, 0), except the factors that are 1 in an ideal
// mixture, so that lnPhi is 0 and kvalue 1.
constexpr double kNeutralTemperature = 273.15;
constexpr double kNeutralPressure = 101325.0;
constexpr long kAtEquilibrium = 1;

double NeutralValue(const Property& property) {
    for (std::wstring_view ideal :
         {L"compressibilityFactor", L"activityCoefficient", L"fugacityCoefficient", L"kvalue"}) {
        if (property.name == ideal) return 1;
    }
    return 0;
}

// A property CalcEquilibrium may hold fixed: an overall value of one number
// that is no amount (temperature, pressure, enthalpy, entropy, volume, density).
bool IsFlashSpecification(const Property& property) {
    return (property.scopes & kOverall) && !property.perCompound && property.name != L"totalFlow";
}

struct FlashSpec {
    const Property* property;
    Basis basis;
};

// Reads one of CalcEquilibrium's two fixed conditions {property, basis,
// phaseLabel[, compoundId]}: a wrong shape or an unknown identifier is an
// invalid argument; a flash the material does not do, a limited
// implementation. An empty basis takes the value in the basis it was set in.
FlashSpec ReadFlashSpec(const VARIANT& specification, Argument argument) {
    const auto items = TextList(specification, argument);
    if (!items || items->size() < 3 || items->size() > 4) {
        RaiseInvalid(argument, L"must hold 3 or 4 texts: property, basis, phase label");
    }
    const std::wstring& name = (*items)[0];
    const std::wstring prefix =
        std::wstring(argument.name) + L" (argument " + std::to_wstring(argument.position) + L"): ";
    const Property* property =
        FindProperty(name, static_cast<PropertyScope>(kOverall | kSinglePhase | kTwoPhase));
    if (!property) RaiseInvalid(argument, L"\"" + name + L"\" is no property");
    if (!IsFlashSpecification(*property)) {
        Raise(kECapeLimitedImpl, prefix + L"a flash at fixed " + std::wstring(property->name) +
                                     L" is not supported; temperature, pressure, enthalpy, "
                                     L"entropy, volume and density are");
    }
    FlashSpec spec{property, Basis::Undefined};
    const std::wstring& basis = (*items)[1];
    if (!basis.empty() && !SameIdentifier(basis, L"Mole") && !SameIdentifier(basis, L"Mass")) {
        RaiseInvalid(argument, L"gives the basis \"" + basis + L"\": Mole, Mass or empty");
    }
    if (property->basis != BasisUse::None && !basis.empty()) {
        spec.basis = SameIdentifier(basis, L"Mass") ? Basis::Mass : Basis::Mole;
    }
    const std::wstring& phase = (*items)[2];
    if (!SameIdentifier(phase, L"Overall")) {
        if (!FindPhase(phase)) RaiseInvalid(argument, L"\"" + phase + L"\" is no phase label");
        Raise(kECapeLimitedImpl,
              prefix + L"only overall values can be specified, not those of " + phase);
    }
    if (items->size() == 4 && !(*items)[3].empty()) {
        Raise(kECapeLimitedImpl, prefix + L"a specification of one compound is not supported");
    }
    return spec;
}

// Both specifications and the solution type, as CalcEquilibrium takes them.
std::pair<FlashSpec, FlashSpec> ReadFlash(const VARIANT& specification1,
                                          const VARIANT& specification2,
                                          std::wstring_view solutionType) {
    const FlashSpec first = ReadFlashSpec(specification1, {L"specification1", 1});
    const FlashSpec second = ReadFlashSpec(specification2, {L"specification2", 2});
    if (first.property == second.property) {
        RaiseInvalid({L"specification2", 2},
                     L"names " + std::wstring(second.property->name) + L" again");
    }
    if (!SameIdentifier(solutionType, L"Unspecified") && !SameIdentifier(solutionType, L"Normal") &&
        !SameIdentifier(solutionType, L"Retrograde")) {
        RaiseInvalid({L"solutionType", 3}, L"must be Unspecified, Normal or Retrograde");
    }
    return {first, second};
}

// The names of `props`, each a property of `scope`; any other is a limited
// implementation, as the routine's list is open.
std::vector<const Property*> CalculatedProperties(const VARIANT& props, PropertyScope scope) {
    const auto names = TextList(props, {L"props", 1});
    if (!names || names->empty()) RaiseInvalid({L"props", 1}, L"is UNDEFINED");
    std::vector<const Property*> properties;
    for (const std::wstring& name : *names) {
        if (name.empty()) RaiseInvalid({L"props", 1}, L"is UNDEFINED");
        const Property* property = FindProperty(name, scope);
        if (!property) {
            Raise(kECapeLimitedImpl,
                  L"props (argument 1): \"" + name + L"\" is no property this material calculates");
        }
        properties.push_back(property);
    }
    return properties;
}

}  // namespace

void Material::StoreNeutral(Place place, const Property& property, CallTrace& trace) {
    const std::vector<double> values(property.perCompound ? compounds_.size() : 1,
                                     NeutralValue(property));
    trace.Numbers(property.name, values);
    Store(place, property, property.basis == BasisUse::None ? Basis::Undefined : Basis::Mole,
          values);
}

com::Variant Material::GetSinglePhasePropList() {
    return Traced(KORVID_OPERATION(ICapeThermoPropertyRoutine, GetSinglePhasePropList),
                  [&](CallTrace&) { return com::MakeStringArray(PropertyNames(kCalculated)); });
}

com::Variant Material::GetTwoPhasePropList() {
    return Traced(KORVID_OPERATION(ICapeThermoPropertyRoutine, GetTwoPhasePropList),
                  [&](CallTrace&) { return com::MakeStringArray(PropertyNames(kTwoPhase)); });
}

bool Material::CheckSinglePhasePropSpec(std::wstring_view property, std::wstring_view phaseLabel) {
    return Traced(KORVID_OPERATION(ICapeThermoPropertyRoutine, CheckSinglePhasePropSpec),
                  [&](CallTrace& trace) {
                      trace.Text(L"property", property);
                      trace.Text(L"phaseLabel", phaseLabel);
                      if (property.empty()) RaiseInvalid({L"property", 1}, L"is UNDEFINED");
                      if (phaseLabel.empty()) RaiseInvalid({L"phaseLabel", 2}, L"is UNDEFINED");
                      const bool valid =
                          FindProperty(property, kCalculated) && FindPhase(phaseLabel);
                      trace.Text(L"Returned", valid ? L"True" : L"False");
                      return valid;
                  });
}

bool Material::CheckTwoPhasePropSpec(std::wstring_view property, const VARIANT& phaseLabels) {
    return Traced(KORVID_OPERATION(ICapeThermoPropertyRoutine, CheckTwoPhasePropSpec),
                  [&](CallTrace& trace) {
                      trace.Text(L"property", property);
                      trace.Value(L"phaseLabels", phaseLabels);
                      if (property.empty()) RaiseInvalid({L"property", 1}, L"is UNDEFINED");
                      if (com::IsEmpty(phaseLabels))
                          RaiseInvalid({L"phaseLabels", 2}, L"is UNDEFINED");
                      bool valid = FindProperty(property, kTwoPhase) != nullptr;
                      try {
                          const auto labels = TextList(phaseLabels, {L"phaseLabels", 2});
                          valid = valid && labels && labels->size() == 2;
                          if (valid) {
                              const auto first = FindPhase((*labels)[0]);
                              const auto second = FindPhase((*labels)[1]);
                              valid = first && second && *first != *second;
                          }
                      } catch (const CapeFailure&) {
                          valid = false;  // no list of texts: a pair this material does not know
                      }
                      trace.Text(L"Returned", valid ? L"True" : L"False");
                      return valid;
                  });
}

void Material::CalcSinglePhaseProp(const VARIANT& props, std::wstring_view phaseLabel) {
    Traced(
        KORVID_OPERATION(ICapeThermoPropertyRoutine, CalcSinglePhaseProp), [&](CallTrace& trace) {
            trace.Value(L"props", props);
            trace.Text(L"phaseLabel", phaseLabel);
            const auto properties = CalculatedProperties(props, kCalculated);
            const Place place{static_cast<int>(CheckPresentPhase(phaseLabel, {L"phaseLabel", 2}))};
            for (const Property* property : properties) StoreNeutral(place, *property, trace);
        });
}

void Material::CalcTwoPhaseProp(const VARIANT& props, const VARIANT& phaseLabels) {
    Traced(KORVID_OPERATION(ICapeThermoPropertyRoutine, CalcTwoPhaseProp), [&](CallTrace& trace) {
        trace.Value(L"props", props);
        trace.Value(L"phaseLabels", phaseLabels);
        const auto properties = CalculatedProperties(props, kTwoPhase);
        const Place place = CheckPhasePair(phaseLabels, {L"phaseLabels", 2});
        for (const Property* property : properties) StoreNeutral(place, *property, trace);
    });
}

void Material::CalcAndGetLnPhi(std::wstring_view phaseLabel, double temperature, double pressure,
                               const VARIANT& moleNumbers, int32_t fFlags, VARIANT* lnPhi,
                               VARIANT* lnPhiDT, VARIANT* lnPhiDP, VARIANT* lnPhiDn) {
    Traced(KORVID_OPERATION(ICapeThermoPropertyRoutine, CalcAndGetLnPhi), [&](CallTrace& trace) {
        trace.Text(L"phaseLabel", phaseLabel);
        trace.Number(L"temperature", temperature);
        trace.Number(L"pressure", pressure);
        trace.Value(L"moleNumbers", moleNumbers);
        trace.Number(L"fFlags", fFlags);
        if (!FindPhase(phaseLabel)) {
            RaiseInvalid({L"phaseLabel", 1},
                         L"\"" + std::wstring(phaseLabel) + L"\" is no phase label");
        }
        if (NumberList(moleNumbers, {L"moleNumbers", 4}).size() != compounds_.size()) {
            RaiseInvalid({L"moleNumbers", 4}, L"must hold one number per compound");
        }
        if (fFlags < 0 || fFlags > 15)
            RaiseInvalid({L"fFlags", 5}, L"is no sum of calculation codes");
        // An ideal mixture: lnPhi 0 and no derivative; dn is n x n, row by row.
        const size_t n = compounds_.size();
        const struct {
            int flag;
            const wchar_t* label;
            VARIANT* out;
            size_t count;
        } results[] = {{1, L"lnPhi", lnPhi, n},
                       {2, L"lnPhiDT", lnPhiDT, n},
                       {4, L"lnPhiDP", lnPhiDP, n},
                       {8, L"lnPhiDn", lnPhiDn, n * n}};
        com::Variant made[4];
        for (size_t k = 0; k < 4; ++k) {
            if (!(fFlags & results[k].flag)) continue;
            const std::vector<double> zeros(results[k].count, 0.0);
            trace.Numbers(results[k].label, zeros);
            made[k] = com::MakeDoubleArray(zeros);
        }
        for (size_t k = 0; k < 4; ++k) {
            if (fFlags & results[k].flag) made[k].DetachTo(results[k].out);
        }
    });
}

bool Material::CheckEquilibriumSpec(const VARIANT& specification1, const VARIANT& specification2,
                                    std::wstring_view solutionType) {
    return Traced(KORVID_OPERATION(ICapeThermoEquilibriumRoutine, CheckEquilibriumSpec),
                  [&](CallTrace& trace) {
                      trace.Value(L"specification1", specification1);
                      trace.Value(L"specification2", specification2);
                      trace.Text(L"solutionType", solutionType);
                      if (com::IsEmpty(specification1))
                          RaiseInvalid({L"specification1", 1}, L"is UNDEFINED");
                      if (com::IsEmpty(specification2))
                          RaiseInvalid({L"specification2", 2}, L"is UNDEFINED");
                      if (solutionType.empty()) RaiseInvalid({L"solutionType", 3}, L"is UNDEFINED");
                      try {
                          ReadFlash(specification1, specification2, solutionType);
                      } catch (const CapeFailure& refusal) {
                          trace.Text(L"Returned", L"False");
                          trace.Text(L"Reason", refusal.description);
                          return false;
                      }
                      trace.Text(L"Returned", L"True");
                      return true;
                  });
}

std::vector<double> Material::OverallComposition() {
    if (auto x = MoleFractions(Place{})) return *std::move(x);
    const bool flow = values_.count({Place{}, L"flow"}) != 0;
    Raise(kECapeFailedInitialisation,
          flow ? L"No overall composition: the overall flow adds up to no amount."
               : L"No overall composition: neither the overall fraction nor the overall flow "
                 L"was set.");
}

void Material::CalcEquilibrium(const VARIANT& specification1, const VARIANT& specification2,
                               std::wstring_view solutionType) {
    Traced(KORVID_OPERATION(ICapeThermoEquilibriumRoutine, CalcEquilibrium), [&](CallTrace& trace) {
        trace.Value(L"specification1", specification1);
        trace.Value(L"specification2", specification2);
        trace.Text(L"solutionType", solutionType);
        const auto [first, second] = ReadFlash(specification1, specification2, solutionType);
        if (present_.empty()) Raise(kECapeFailedInitialisation, L"No phase is present.");
        // What the flash keeps fixed is the value set overall, on either
        // basis, read on the basis its argument names (none: as it was set).
        for (const auto& [fixed, name] :
             {std::pair{first, L"specification1"}, std::pair{second, L"specification2"}}) {
            const auto found = values_.find(KeyOf(Place{}, *fixed.property));
            if (found == values_.end()) {
                Raise(kECapeFailedInitialisation, std::wstring(name) + L" names the overall " +
                                                      std::wstring(fixed.property->name) +
                                                      L", which was never set.");
            }
            if (fixed.basis == Basis::Undefined) continue;
            try {
                Converted(Place{}, *fixed.property, found->second, fixed.basis);
            } catch (const CapeFailure& unconverted) {
                Raise(kECapeFailedInitialisation,
                      std::wstring(name) + L": " + unconverted.description);
            }
        }
        const std::vector<double> x = OverallComposition();
        // What the flash determines: the overall temperature and pressure as
        // set (whether specified or not), else neutral; the phases share the
        // overall composition and the amount equally.
        double state[2] = {kNeutralTemperature, kNeutralPressure};
        const wchar_t* const names[2] = {L"temperature", L"pressure"};
        for (int k = 0; k < 2; ++k) {
            const Property& property = *FindProperty(names[k], kOverall);
            if (values_.count({Place{}, std::wstring(property.name)})) {
                state[k] = Read(Place{}, property, Basis::Undefined)[0];
            }
            Store(Place{}, property, Basis::Undefined, {state[k]});
            trace.Number(names[k], state[k]);
        }
        trace.Numbers(L"composition", x);
        const double phaseFraction = 1.0 / static_cast<double>(present_.size());
        trace.Number(L"phaseFraction", phaseFraction);
        const Property& temperature = *FindProperty(L"temperature", kSinglePhase);
        const Property& pressure = *FindProperty(L"pressure", kSinglePhase);
        const Property& fraction = *FindProperty(L"fraction", kSinglePhase);
        const Property& amount = *FindProperty(L"phaseFraction", kSinglePhase);
        for (auto& [phase, status] : present_) {
            const Place place{static_cast<int>(phase)};
            Store(place, temperature, Basis::Undefined, {state[0]});
            Store(place, pressure, Basis::Undefined, {state[1]});
            Store(place, fraction, Basis::Mole, x);
            // Each phase has the overall composition: its share is the same on either basis.
            Store(place, amount, Basis::Mole, {phaseFraction});
            status = kAtEquilibrium;
            trace.Text(L"atEquilibrium", kPhases[phase].label);
        }
    });
}

}  // namespace korvid::thermo_material
