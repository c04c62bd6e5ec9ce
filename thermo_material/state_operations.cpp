// ICapeThermoMaterial: the phases present and the values set on them. Each
// place keeps one value per property, in the basis it was set in, and a read
// on the other basis converts it (identifiers.h: BasisUse).
#include <utility>

#include "thermo_material/material.h"

namespace korvid::thermo_material {

namespace {

constexpr long kAtEquilibrium = 1;

std::wstring PlaceText(std::wstring_view property, std::wstring_view where) {
    return std::wstring(property) + L" " + std::wstring(where);
}

// Where a value lives, as messages name it: "overall", "of phase Vapor" or
// "of phases Vapor and Liquid".
std::wstring WhereOf(int first, int second) {
    if (first < 0) return L"overall";
    if (second < 0) return L"of phase " + std::wstring(kPhases[first].label);
    return L"of phases " + std::wstring(kPhases[first].label) + L" and " +
           std::wstring(kPhases[second].label);
}

}  // namespace

// --- Checks ----------------------------------------------------------------------

const Property& Material::CheckProperty(std::wstring_view name, PropertyScope scope,
                                        Argument argument) {
    if (name.empty()) RaiseInvalid(argument, L"is UNDEFINED");
    const Property* property = FindProperty(name, scope);
    if (!property) RaiseInvalid(argument, L"\"" + std::wstring(name) + L"\" is no property here");
    return *property;
}

size_t Material::CheckPresentPhase(std::wstring_view label, Argument argument) {
    const auto phase = FindPhase(label);
    if (!phase) RaiseInvalid(argument, L"\"" + std::wstring(label) + L"\" is no phase label");
    for (const auto& present : present_) {
        if (present.first == *phase) return *phase;
    }
    Raise(kECapeFailedInitialisation,
          L"The phase " + std::wstring(kPhases[*phase].label) + L" is not present.");
}

Material::Place Material::CheckPhasePair(const VARIANT& labels, Argument argument) {
    const auto texts = TextList(labels, argument);
    if (!texts || texts->size() != 2) RaiseInvalid(argument, L"must hold two phase labels");
    Place place{static_cast<int>(CheckPresentPhase((*texts)[0], argument)),
                static_cast<int>(CheckPresentPhase((*texts)[1], argument))};
    if (place.first == place.second) RaiseInvalid(argument, L"names the same phase twice");
    return place;
}

Basis Material::CheckBasis(const Property& property, std::wstring_view basis, Argument argument) {
    const Basis read = ReadBasis(basis, argument);
    if (property.basis == BasisUse::None) return Basis::Undefined;
    if (read == Basis::Undefined) {
        RaiseInvalid(argument,
                     L"is UNDEFINED: " + std::wstring(property.name) + L" needs Mole or Mass");
    }
    return read;
}

void Material::CheckLength(const Property& property, const std::vector<double>& values,
                           Argument argument) {
    const size_t expected = property.perCompound ? compounds_.size() : 1;
    if (values.size() != expected) {
        RaiseInvalid(argument, L"holds " + std::to_wstring(values.size()) + L" values; " +
                                   std::wstring(property.name) + L" takes " +
                                   std::to_wstring(expected));
    }
}

// --- The values --------------------------------------------------------------------

const std::pair<Material::Place, std::wstring>& Material::KeyOf(Place place,
                                                                const Property& property) {
    key_.first = place;
    key_.second.assign(property.name);
    return key_;
}

void Material::Store(Place place, const Property& property, Basis basis,
                     std::vector<double> values) {
    const auto& key = KeyOf(place, property);
    const auto found = values_.find(key);
    if (found != values_.end()) {
        found->second = Stored{std::move(values), basis};
    } else {
        values_.emplace(key, Stored{std::move(values), basis});
    }
}

std::vector<double> Material::Read(Place place, const Property& property, Basis basis) {
    const auto found = values_.find(KeyOf(place, property));
    if (found == values_.end()) {
        // A pair's value comes only from SetTwoPhaseProp or CalcTwoPhaseProp:
        // without one of them the pair was never initialised.
        Raise(place.second >= 0 ? kECapeFailedInitialisation : kECapeThrmPropertyNotAvailable,
              L"The " + PlaceText(property.name, WhereOf(place.first, place.second)) +
                  L" was never set.");
    }
    return Converted(place, property, found->second, basis);
}

double Material::MolecularWeight(size_t compound, std::wstring_view purpose) const {
    static const int column = FindCompoundConstant(L"molecularWeight")->column;
    const auto& record = compounds_[compound].record;
    if (!component_definition::IsGiven(record, column) || !(record.mw > 0)) {
        Raise(kECapeThrmPropertyNotAvailable, L"The molecular weight of " +
                                                  compounds_[compound].id + L" is not known: " +
                                                  std::wstring(purpose));
    }
    return record.mw;
}

std::optional<std::vector<double>> Material::MoleFractions(Place place) {
    const Property& fraction = *FindProperty(L"fraction", kSinglePhase);
    if (const auto found = values_.find(KeyOf(place, fraction)); found != values_.end()) {
        return Converted(place, fraction, found->second, Basis::Mole);
    }
    const Property& flow = *FindProperty(L"flow", kSinglePhase);
    const auto found = values_.find(KeyOf(place, flow));
    if (found == values_.end()) return std::nullopt;
    std::vector<double> x = Converted(place, flow, found->second, Basis::Mole);
    double total = 0;
    for (double value : x) total += value;
    if (!(total > 0)) return std::nullopt;
    for (double& value : x) value /= total;
    return x;
}

double Material::MolarMass(Place place, std::wstring_view purpose) {
    const auto x = MoleFractions(place);
    if (!x) {
        Raise(kECapeThrmPropertyNotAvailable,
              L"The composition " + WhereOf(place.first, place.second) +
                  L" is not known (no fraction, no flow): " + std::wstring(purpose));
    }
    double grams = 0;
    for (size_t k = 0; k < x->size(); ++k) grams += (*x)[k] * MolecularWeight(k, purpose);
    return grams / 1000;
}

std::vector<double> Material::Converted(Place place, const Property& property, const Stored& stored,
                                        Basis basis) {
    if (property.basis == BasisUse::None || stored.basis == basis) return stored.values;
    const bool toMass = basis == Basis::Mass;
    const std::wstring purpose = L"the " +
                                 PlaceText(property.name, WhereOf(place.first, place.second)) +
                                 L" cannot be converted to " + (toMass ? L"Mass." : L"Mole.");
    std::vector<double> values = stored.values;
    if (property.basis == BasisUse::PerCompound || property.basis == BasisUse::Fraction) {
        double sum = 0;
        // flow: kg/s = mol/s x g/mol / 1000; fraction: normalised below.
        const double scale = property.basis == BasisUse::Fraction ? 1 : 1000;
        for (size_t k = 0; k < values.size(); ++k) {
            const double mw = MolecularWeight(k, purpose);
            values[k] = toMass ? values[k] * mw / scale : values[k] * scale / mw;
            sum += values[k];
        }
        if (property.basis == BasisUse::Fraction && sum != 0) {
            for (double& value : values) value /= sum;
        }
        return values;
    }
    // Mass = Mole x factor, the factor from the molar mass of the place.
    double factor = MolarMass(place, purpose);
    if (property.basis == BasisUse::PerAmount) factor = 1 / factor;
    if (property.basis == BasisUse::PhaseShare) factor /= MolarMass(Place{}, purpose);
    for (double& value : values) value = toMass ? value * factor : value / factor;
    return values;
}

void Material::RemovePhaseValues(int phase) {
    for (auto it = values_.begin(); it != values_.end();) {
        const Place& place = it->first.first;
        it = place.first == phase || place.second == phase ? values_.erase(it) : std::next(it);
    }
}

// What every kind's set and get do once the property and the place are
// checked: the basis (argument `basisPosition`), then the values after it.

void Material::StoreArguments(Place place, const Property& property, std::wstring_view basis,
                              const VARIANT& values, int16_t basisPosition) {
    const Basis b = CheckBasis(property, basis, {L"basis", basisPosition});
    const Argument valuesArgument{L"values", static_cast<int16_t>(basisPosition + 1)};
    std::vector<double> numbers = NumberList(values, valuesArgument);
    CheckLength(property, numbers, valuesArgument);
    Store(place, property, b, std::move(numbers));
}

void Material::ReadResults(Place place, const Property& property, std::wstring_view basis,
                           int16_t basisPosition, CallTrace& trace, VARIANT* results) {
    const Basis b = CheckBasis(property, basis, {L"basis", basisPosition});
    const std::vector<double> values = Read(place, property, b);
    trace.Numbers(L"results", values);
    com::MakeDoubleArray(values).DetachTo(results);
}

void Material::ReadTPFraction(Place place, PropertyScope scope, CallTrace& trace,
                              double* temperature, double* pressure, VARIANT* composition) {
    const double t = Read(place, *FindProperty(L"temperature", scope), Basis::Undefined)[0];
    const double p = Read(place, *FindProperty(L"pressure", scope), Basis::Undefined)[0];
    const std::vector<double> x = Read(place, *FindProperty(L"fraction", scope), Basis::Mole);
    trace.Number(L"temperature", t);
    trace.Number(L"pressure", p);
    trace.Numbers(L"composition", x);
    *temperature = t;
    *pressure = p;
    com::MakeDoubleArray(x).DetachTo(composition);
}

// --- Overall -----------------------------------------------------------------------

void Material::SetOverallProp(std::wstring_view property, std::wstring_view basis,
                              const VARIANT& values) {
    Traced(KORVID_OPERATION(ICapeThermoMaterial, SetOverallProp), [&](CallTrace& trace) {
        trace.Text(L"property", property);
        trace.Text(L"basis", basis);
        trace.Value(L"values", values);
        const Property& p = CheckProperty(property, kOverall, {L"property", 1});
        StoreArguments(Place{}, p, basis, values, 2);
    });
}

void Material::GetOverallProp(std::wstring_view property, std::wstring_view basis,
                              VARIANT* results) {
    Traced(KORVID_OPERATION(ICapeThermoMaterial, GetOverallProp), [&](CallTrace& trace) {
        trace.Text(L"property", property);
        trace.Text(L"basis", basis);
        const Property& p = CheckProperty(property, kOverall, {L"property", 1});
        ReadResults(Place{}, p, basis, 2, trace, results);
    });
}

void Material::GetOverallTPFraction(double* temperature, double* pressure, VARIANT* composition) {
    Traced(KORVID_OPERATION(ICapeThermoMaterial, GetOverallTPFraction), [&](CallTrace& trace) {
        ReadTPFraction(Place{}, kOverall, trace, temperature, pressure, composition);
    });
}

// --- Phases present ------------------------------------------------------------------

void Material::SetPresentPhases(const VARIANT& phaseLabels, const VARIANT& phaseStatus) {
    Traced(KORVID_OPERATION(ICapeThermoMaterial, SetPresentPhases), [&](CallTrace& trace) {
        trace.Value(L"phaseLabels", phaseLabels);
        trace.Value(L"phaseStatus", phaseStatus);
        const auto labels = TextList(phaseLabels, {L"phaseLabels", 1});
        std::vector<long> statuses;
        if (labels || !com::IsEmpty(phaseStatus)) {
            statuses = WholeNumberList(phaseStatus, {L"phaseStatus", 2});
        }
        const size_t count = labels ? labels->size() : 0;
        if (statuses.size() != count) {
            RaiseInvalid({L"phaseStatus", 2}, L"holds " + std::to_wstring(statuses.size()) +
                                                  L" statuses for " + std::to_wstring(count) +
                                                  L" labels");
        }
        std::vector<std::pair<size_t, long>> present;
        for (size_t k = 0; k < count; ++k) {
            const auto phase = FindPhase((*labels)[k]);
            if (!phase) {
                RaiseInvalid({L"phaseLabels", 1}, L"\"" + (*labels)[k] + L"\" is no phase label");
            }
            for (const auto& earlier : present) {
                if (earlier.first == *phase)
                    RaiseInvalid({L"phaseLabels", 1}, L"names a phase twice");
            }
            if (statuses[k] < 0 || statuses[k] > 2) {
                RaiseInvalid({L"phaseStatus", 2},
                             L"holds " + std::to_wstring(statuses[k]) + L": a status is 0, 1 or 2");
            }
            present.emplace_back(*phase, statuses[k]);
        }
        // A phase left out goes with its values.
        for (const auto& old : present_) {
            bool kept = false;
            for (const auto& now : present) kept = kept || now.first == old.first;
            if (!kept) RemovePhaseValues(static_cast<int>(old.first));
        }
        present_ = std::move(present);
    });
}

void Material::GetPresentPhases(VARIANT* phaseLabels, VARIANT* phaseStatus) {
    Traced(KORVID_OPERATION(ICapeThermoMaterial, GetPresentPhases), [&](CallTrace& trace) {
        if (present_.empty()) {
            trace.Text(L"phaseLabels", L"(empty)");
            return;
        }
        std::vector<std::wstring> labels;
        std::vector<double> statuses;
        for (const auto& [phase, status] : present_) {
            labels.emplace_back(kPhases[phase].label);
            statuses.push_back(static_cast<double>(status));
            trace.Text(L"phaseLabels[" + std::to_wstring(labels.size() - 1) + L"]", labels.back());
        }
        trace.Numbers(L"phaseStatus", statuses);
        com::MakeStringArray(labels).DetachTo(phaseLabels);
        // One CapePhaseStatus (a long) per label.
        SAFEARRAYBOUND bound{static_cast<ULONG>(present_.size()), 0};
        com::Variant status;
        status.get()->parray = SafeArrayCreate(VT_I4, 1, &bound);
        if (!status.get()->parray) RaiseRuntime(7);
        status.get()->vt = VT_ARRAY | VT_I4;
        for (LONG k = 0; k < static_cast<LONG>(present_.size()); ++k) {
            LONG value = present_[k].second;
            SafeArrayPutElement(status.get()->parray, &k, &value);
        }
        status.DetachTo(phaseStatus);
    });
}

// --- One phase -------------------------------------------------------------------------

void Material::SetSinglePhaseProp(std::wstring_view property, std::wstring_view phaseLabel,
                                  std::wstring_view basis, const VARIANT& values) {
    Traced(KORVID_OPERATION(ICapeThermoMaterial, SetSinglePhaseProp), [&](CallTrace& trace) {
        trace.Text(L"property", property);
        trace.Text(L"phaseLabel", phaseLabel);
        trace.Text(L"basis", basis);
        trace.Value(L"values", values);
        const Property& p = CheckProperty(property, kSinglePhase, {L"property", 1});
        const size_t phase = CheckPresentPhase(phaseLabel, {L"phaseLabel", 2});
        StoreArguments(Place{static_cast<int>(phase)}, p, basis, values, 3);
        // A phase at equilibrium whose state changes is no longer known to be.
        const bool state =
            p.name == L"temperature" || p.name == L"pressure" || p.name == L"fraction";
        for (auto& present : present_) {
            if (state && present.first == phase && present.second == kAtEquilibrium) {
                present.second = 0;
            }
        }
    });
}

void Material::GetSinglePhaseProp(std::wstring_view property, std::wstring_view phaseLabel,
                                  std::wstring_view basis, VARIANT* results) {
    Traced(KORVID_OPERATION(ICapeThermoMaterial, GetSinglePhaseProp), [&](CallTrace& trace) {
        trace.Text(L"property", property);
        trace.Text(L"phaseLabel", phaseLabel);
        trace.Text(L"basis", basis);
        const Property& p = CheckProperty(property, kSinglePhase, {L"property", 1});
        const size_t phase = CheckPresentPhase(phaseLabel, {L"phaseLabel", 2});
        ReadResults(Place{static_cast<int>(phase)}, p, basis, 3, trace, results);
    });
}

void Material::GetTPFraction(std::wstring_view phaseLabel, double* temperature, double* pressure,
                             VARIANT* composition) {
    Traced(KORVID_OPERATION(ICapeThermoMaterial, GetTPFraction), [&](CallTrace& trace) {
        trace.Text(L"phaseLabel", phaseLabel);
        const Place place{static_cast<int>(CheckPresentPhase(phaseLabel, {L"phaseLabel", 1}))};
        ReadTPFraction(place, kSinglePhase, trace, temperature, pressure, composition);
    });
}

// --- Two phases ------------------------------------------------------------------------

void Material::SetTwoPhaseProp(std::wstring_view property, const VARIANT& phaseLabels,
                               std::wstring_view basis, const VARIANT& values) {
    Traced(KORVID_OPERATION(ICapeThermoMaterial, SetTwoPhaseProp), [&](CallTrace& trace) {
        trace.Text(L"property", property);
        trace.Value(L"phaseLabels", phaseLabels);
        trace.Text(L"basis", basis);
        trace.Value(L"values", values);
        const Property& p = CheckProperty(property, kTwoPhase, {L"property", 1});
        StoreArguments(CheckPhasePair(phaseLabels, {L"phaseLabels", 2}), p, basis, values, 3);
    });
}

void Material::GetTwoPhaseProp(std::wstring_view property, const VARIANT& phaseLabels,
                               std::wstring_view basis, VARIANT* results) {
    Traced(KORVID_OPERATION(ICapeThermoMaterial, GetTwoPhaseProp), [&](CallTrace& trace) {
        trace.Text(L"property", property);
        trace.Value(L"phaseLabels", phaseLabels);
        trace.Text(L"basis", basis);
        const Property& p = CheckProperty(property, kTwoPhase, {L"property", 1});
        ReadResults(CheckPhasePair(phaseLabels, {L"phaseLabels", 2}), p, basis, 3, trace, results);
    });
}

}  // namespace korvid::thermo_material
