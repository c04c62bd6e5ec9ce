// ICapeThermoPropertyRoutine and ICapeThermoEquilibriumRoutine. The material
// calculates nothing: it checks and traces what it is asked, answers the
// checks with False and every calculation with ECapeNoImpl, and changes no
// value. The lists name what it stores, not what it could calculate.
#include "thermo_material/material.h"

namespace korvid::thermo_material {

namespace {

[[noreturn]] void RaiseCalculatesNothing(std::wstring_view what) {
    Raise(kECapeNoImpl, L"Korvid.Material calculates nothing: " + std::wstring(what) +
                            L" is left to the unit's own property package.");
}

}  // namespace

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
                      trace.Text(L"Returned", L"False");
                      return false;
                  });
}

bool Material::CheckTwoPhasePropSpec(std::wstring_view property, const VARIANT& phaseLabels) {
    return Traced(KORVID_OPERATION(ICapeThermoPropertyRoutine, CheckTwoPhasePropSpec),
                  [&](CallTrace& trace) {
                      trace.Text(L"property", property);
                      trace.Value(L"phaseLabels", phaseLabels);
                      trace.Text(L"Returned", L"False");
                      return false;
                  });
}

void Material::CalcSinglePhaseProp(const VARIANT& props, std::wstring_view phaseLabel) {
    Traced(KORVID_OPERATION(ICapeThermoPropertyRoutine, CalcSinglePhaseProp),
           [&](CallTrace& trace) {
               trace.Value(L"props", props);
               trace.Text(L"phaseLabel", phaseLabel);
               const auto names = TextList(props, {L"props", 1});
               if (!names || names->empty()) RaiseInvalid({L"props", 1}, L"is UNDEFINED");
               for (const std::wstring& name : *names) CheckProperty(name, kCalculated, {L"props", 1});
               CheckPresentPhase(phaseLabel, {L"phaseLabel", 2});
               RaiseCalculatesNothing(L"CalcSinglePhaseProp");
           });
}

void Material::CalcTwoPhaseProp(const VARIANT& props, const VARIANT& phaseLabels) {
    Traced(KORVID_OPERATION(ICapeThermoPropertyRoutine, CalcTwoPhaseProp), [&](CallTrace& trace) {
        trace.Value(L"props", props);
        trace.Value(L"phaseLabels", phaseLabels);
        const auto names = TextList(props, {L"props", 1});
        if (!names || names->empty()) RaiseInvalid({L"props", 1}, L"is UNDEFINED");
        for (const std::wstring& name : *names) CheckProperty(name, kTwoPhase, {L"props", 1});
        CheckPhasePair(phaseLabels, {L"phaseLabels", 2});
        RaiseCalculatesNothing(L"CalcTwoPhaseProp");
    });
}

void Material::CalcAndGetLnPhi(std::wstring_view phaseLabel, double temperature, double pressure,
                               const VARIANT& moleNumbers, int32_t fFlags, VARIANT* lnPhi,
                               VARIANT* lnPhiDT, VARIANT* lnPhiDP, VARIANT* lnPhiDn) {
    for (VARIANT* out : {lnPhi, lnPhiDT, lnPhiDP, lnPhiDn}) VariantClear(out);
    Traced(KORVID_OPERATION(ICapeThermoPropertyRoutine, CalcAndGetLnPhi), [&](CallTrace& trace) {
        trace.Text(L"phaseLabel", phaseLabel);
        trace.Number(L"temperature", temperature);
        trace.Number(L"pressure", pressure);
        trace.Value(L"moleNumbers", moleNumbers);
        trace.Number(L"fFlags", fFlags);
        if (!FindPhase(phaseLabel)) {
            RaiseInvalid({L"phaseLabel", 1}, L"\"" + std::wstring(phaseLabel) + L"\" is no phase label");
        }
        if (NumberList(moleNumbers, {L"moleNumbers", 4}).size() != compounds_.size()) {
            RaiseInvalid({L"moleNumbers", 4}, L"must hold one number per compound");
        }
        if (fFlags < 0 || fFlags > 15) RaiseInvalid({L"fFlags", 5}, L"is no sum of calculation codes");
        if (fFlags == 0) return;  // nothing asked, nothing returned
        RaiseCalculatesNothing(L"CalcAndGetLnPhi");
    });
}

bool Material::CheckEquilibriumSpec(const VARIANT& specification1, const VARIANT& specification2,
                                    std::wstring_view solutionType) {
    return Traced(KORVID_OPERATION(ICapeThermoEquilibriumRoutine, CheckEquilibriumSpec),
                  [&](CallTrace& trace) {
                      trace.Value(L"specification1", specification1);
                      trace.Value(L"specification2", specification2);
                      trace.Text(L"solutionType", solutionType);
                      trace.Text(L"Returned", L"False");
                      return false;
                  });
}

void Material::CalcEquilibrium(const VARIANT& specification1, const VARIANT& specification2,
                               std::wstring_view solutionType) {
    Traced(KORVID_OPERATION(ICapeThermoEquilibriumRoutine, CalcEquilibrium), [&](CallTrace& trace) {
        trace.Value(L"specification1", specification1);
        trace.Value(L"specification2", specification2);
        trace.Text(L"solutionType", solutionType);
        for (const Argument argument : {Argument{L"specification1", 1}, Argument{L"specification2", 2}}) {
            const auto items = TextList(argument.position == 1 ? specification1 : specification2,
                                        argument);
            if (!items || items->size() < 3 || items->size() > 4) {
                RaiseInvalid(argument, L"must hold 3 or 4 texts: property, basis, phase label");
            }
        }
        if (!SameIdentifier(solutionType, L"Unspecified") && !SameIdentifier(solutionType, L"Normal") &&
            !SameIdentifier(solutionType, L"Retrograde")) {
            RaiseInvalid({L"solutionType", 3}, L"must be Unspecified, Normal or Retrograde");
        }
        if (present_.empty()) Raise(kECapeFailedInitialisation, L"No phase is present.");
        RaiseCalculatesNothing(L"CalcEquilibrium");
    });
}

}  // namespace korvid::thermo_material
