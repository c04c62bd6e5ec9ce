// ICapeThermoCompounds, ICapeThermoPhases and ICapeThermoUniversalConstant:
// the compounds are the component table's rows as the material took them,
// the phases the fixed list of identifiers.h.
#include <cmath>

#include "thermo_material/material.h"

namespace korvid::thermo_material {

namespace {

using component_definition::IsGiven;
using component_definition::NumberField;
using component_definition::TextField;

// What the table leaves out, compound by compound in table order, for the
// warning a read of constants raises after it has filled in the rest.
class Missing {
public:
    explicit Missing(const std::vector<Compound>& compounds) : compounds_(compounds) {
        names_.resize(compounds.size());
    }
    void Add(const Compound& compound, std::wstring_view constant) {
        std::wstring& names = names_[static_cast<size_t>(&compound - compounds_.data())];
        if (names.find(constant) == std::wstring::npos) {
            names += (names.empty() ? L"" : L", ") + std::wstring(constant);
        }
    }
    // ECapeThrmPropertyNotAvailable naming each compound and constant, when any.
    void Raise() const {
        std::wstring text;
        for (size_t k = 0; k < names_.size(); ++k) {
            if (names_[k].empty()) continue;
            text += (text.empty() ? L" " : L"; ") + compounds_[k].id + L" (" + names_[k] + L")";
        }
        if (!text.empty()) {
            thermo_material::Raise(kECapeThrmPropertyNotAvailable,
                                   L"Not given in the component table:" + text + L".");
        }
    }

private:
    const std::vector<Compound>& compounds_;
    std::vector<std::wstring> names_;
};

// A constant of one compound as a VARIANT: Empty (UNDEFINED) when the table
// was not given it.
com::Variant ConstantValue(const Compound& compound, const CompoundConstant& constant,
                           Missing& missing) {
    if (!IsGiven(compound.record, constant.column)) {
        missing.Add(compound, constant.name);
        return com::Variant();
    }
    return constant.column < component_definition::kTextFields
               ? com::Variant::FromText(TextField(compound.record, constant.column))
               : com::Variant::FromDouble(NumberField(compound.record, constant.column));
}

}  // namespace

void Material::GetCompoundList(VARIANT* compIds, VARIANT* formulae, VARIANT* names,
                               VARIANT* boilTemps, VARIANT* molwts, VARIANT* casnos) {
    Traced(KORVID_OPERATION(ICapeThermoCompounds, GetCompoundList), [&](CallTrace& trace) {
        // The five constants in the order of their arguments: texts not given
        // are empty, numbers not given NaN (an array of doubles holds no Empty).
        static const CompoundConstant* const constants[] = {
            FindCompoundConstant(L"chemicalFormula"), FindCompoundConstant(L"iupacName"),
            FindCompoundConstant(L"normalBoilingPoint"), FindCompoundConstant(L"molecularWeight"),
            FindCompoundConstant(L"casRegistryNumber")};
        std::vector<std::wstring> ids, texts[5];
        std::vector<double> numbers[5];
        Missing missing(compounds_);
        for (const Compound& compound : compounds_) {
            ids.push_back(compound.id);
            trace.Text(L"compIds[" + std::to_wstring(ids.size() - 1) + L"]", compound.id);
            for (size_t k = 0; k < 5; ++k) {
                const com::Variant value = ConstantValue(compound, *constants[k], missing);
                if (constants[k]->column < component_definition::kTextFields) {
                    texts[k].push_back(com::IsEmpty(*value) ? L"" : (*value).bstrVal);
                } else {
                    numbers[k].push_back(com::IsEmpty(*value) ? std::nan("") : (*value).dblVal);
                }
            }
        }
        com::MakeStringArray(ids).DetachTo(compIds);
        com::MakeStringArray(texts[0]).DetachTo(formulae);
        com::MakeStringArray(texts[1]).DetachTo(names);
        com::MakeDoubleArray(numbers[2]).DetachTo(boilTemps);
        com::MakeDoubleArray(numbers[3]).DetachTo(molwts);
        com::MakeStringArray(texts[4]).DetachTo(casnos);
        missing.Raise();
    });
}

int32_t Material::GetNumCompounds() {
    return Traced(KORVID_OPERATION(ICapeThermoCompounds, GetNumCompounds), [&](CallTrace& trace) {
        trace.Number(L"Returned", static_cast<double>(compounds_.size()));
        return static_cast<int32_t>(compounds_.size());
    });
}

com::Variant Material::GetConstPropList() {
    return Traced(KORVID_OPERATION(ICapeThermoCompounds, GetConstPropList),
                  [&](CallTrace&) { return com::MakeStringArray(CompoundConstantNames()); });
}

void Material::GetCompoundConstant(const VARIANT& props, const VARIANT& compIds,
                                   VARIANT* propVals) {
    Traced(KORVID_OPERATION(ICapeThermoCompounds, GetCompoundConstant), [&](CallTrace& trace) {
        trace.Value(L"props", props);
        trace.Value(L"compIds", compIds);
        const auto names = TextList(props, {L"props", 1});
        if (!names || names->empty()) RaiseInvalid({L"props", 1}, L"is UNDEFINED");
        std::vector<size_t> chosen;
        if (const auto ids = TextList(compIds, {L"compIds", 2})) {
            for (const std::wstring& id : *ids) {
                size_t k = 0;
                while (k < compounds_.size() && !SameIdentifier(compounds_[k].id, id)) ++k;
                if (k == compounds_.size()) {
                    RaiseInvalid({L"compIds", 2}, L"\"" + id + L"\" is no compound of this material");
                }
                chosen.push_back(k);
            }
        } else {
            for (size_t k = 0; k < compounds_.size(); ++k) chosen.push_back(k);
        }
        std::vector<const CompoundConstant*> constants;
        for (const std::wstring& name : *names) {
            const CompoundConstant* constant = FindCompoundConstant(name);
            if (!constant) {
                Raise(kECapeLimitedImpl, L"props (argument 1): \"" + name +
                                             L"\" is no constant this material serves");
            }
            constants.push_back(constant);
        }
        // Grouped by property: the compounds of the first, then of the second...
        const size_t count = constants.size() * chosen.size();
        SAFEARRAYBOUND bound{static_cast<ULONG>(count), 0};
        com::Variant result;
        result.get()->vt = VT_ARRAY | VT_VARIANT;
        result.get()->parray = SafeArrayCreate(VT_VARIANT, 1, &bound);
        if (!result.get()->parray) RaiseRuntime(7);
        LONG index = 0;
        Missing missing(compounds_);
        for (const CompoundConstant* constant : constants) {
            for (size_t k : chosen) {
                com::Variant value = ConstantValue(compounds_[k], *constant, missing);
                SafeArrayPutElement(result.get()->parray, &index, value.get());
                ++index;
            }
        }
        trace.Value(L"propVals", *result);
        // The values given are served even when others are missing: the
        // warning comes with them.
        result.DetachTo(propVals);
        missing.Raise();
    });
}

com::Variant Material::GetTDependentPropList() {
    return Traced(KORVID_OPERATION(ICapeThermoCompounds, GetTDependentPropList),
                  [&](CallTrace& trace) {
                      trace.Text(L"Returned", L"(empty): no temperature-dependent property");
                      return com::Variant();
                  });
}

com::Variant Material::GetPDependentPropList() {
    return Traced(KORVID_OPERATION(ICapeThermoCompounds, GetPDependentPropList),
                  [&](CallTrace& trace) {
                      trace.Text(L"Returned", L"(empty): no pressure-dependent property");
                      return com::Variant();
                  });
}

void Material::GetTDependentProperty(const VARIANT& props, double temperature,
                                     const VARIANT& compIds, VARIANT* propVals) {
    Traced(KORVID_OPERATION(ICapeThermoCompounds, GetTDependentProperty), [&](CallTrace& trace) {
        trace.Value(L"props", props);
        trace.Number(L"temperature", temperature);
        trace.Value(L"compIds", compIds);
        Raise(kECapeNoImpl, L"This material serves no temperature-dependent property.");
    });
}

void Material::GetPDependentProperty(const VARIANT& props, double pressure,
                                     const VARIANT& compIds, VARIANT* propVals) {
    Traced(KORVID_OPERATION(ICapeThermoCompounds, GetPDependentProperty), [&](CallTrace& trace) {
        trace.Value(L"props", props);
        trace.Number(L"pressure", pressure);
        trace.Value(L"compIds", compIds);
        Raise(kECapeNoImpl, L"This material serves no pressure-dependent property.");
    });
}

// --- Phases ------------------------------------------------------------------------

int32_t Material::GetNumPhases() {
    return Traced(KORVID_OPERATION(ICapeThermoPhases, GetNumPhases), [&](CallTrace& trace) {
        trace.Number(L"Returned", static_cast<double>(kPhases.size()));
        return static_cast<int32_t>(kPhases.size());
    });
}

void Material::GetPhaseList(VARIANT* phaseLabels, VARIANT* stateOfAggregation,
                            VARIANT* keyCompoundId) {
    Traced(KORVID_OPERATION(ICapeThermoPhases, GetPhaseList), [&](CallTrace&) {
        std::vector<std::wstring> labels, states, keys;
        for (const Phase& phase : kPhases) {
            labels.emplace_back(phase.label);
            states.emplace_back(phase.stateOfAggregation);
            keys.emplace_back();
        }
        com::MakeStringArray(labels).DetachTo(phaseLabels);
        com::MakeStringArray(states).DetachTo(stateOfAggregation);
        com::MakeStringArray(keys).DetachTo(keyCompoundId);
    });
}

com::Variant Material::GetPhaseInfo(std::wstring_view phaseLabel,
                                    std::wstring_view phaseAttribute) {
    return Traced(KORVID_OPERATION(ICapeThermoPhases, GetPhaseInfo), [&](CallTrace& trace) {
        trace.Text(L"phaseLabel", phaseLabel);
        trace.Text(L"phaseAttribute", phaseAttribute);
        const auto index = FindPhase(phaseLabel);
        if (!index) {
            RaiseInvalid({L"phaseLabel", 1}, L"\"" + std::wstring(phaseLabel) + L"\" is no phase label");
        }
        const Phase& phase = kPhases[*index];
        com::Variant value;
        if (SameIdentifier(phaseAttribute, L"StateOfAggregation")) {
            value = com::Variant::FromText(phase.stateOfAggregation);
        } else if (SameIdentifier(phaseAttribute, L"DensityDescription")) {
            if (!phase.densityDescription.empty()) {
                value = com::Variant::FromText(phase.densityDescription);
            }
        } else if (SameIdentifier(phaseAttribute, L"UserDescription")) {
            value = com::Variant::FromText(phase.userDescription);
        } else if (!SameIdentifier(phaseAttribute, L"KeyCompoundId") &&
                   !SameIdentifier(phaseAttribute, L"ExcludedCompoundId") &&
                   !SameIdentifier(phaseAttribute, L"TypeOfSolid")) {
            RaiseInvalid({L"phaseAttribute", 2},
                         L"\"" + std::wstring(phaseAttribute) + L"\" is no phase attribute");
        }
        trace.Value(L"Returned", *value);
        return value;
    });
}

// --- Universal constants -----------------------------------------------------------

com::Variant Material::GetUniversalConstant(std::wstring_view constantId) {
    return Traced(KORVID_OPERATION(ICapeThermoUniversalConstant, GetUniversalConstant),
                  [&](CallTrace& trace) {
        trace.Text(L"constantId", constantId);
        for (const UniversalConstant& constant : kUniversalConstants) {
            if (SameIdentifier(constant.name, constantId)) {
                trace.Number(L"Returned", constant.value);
                return com::Variant::FromDouble(constant.value);
            }
        }
        RaiseInvalid({L"constantId", 1},
                     L"\"" + std::wstring(constantId) + L"\" is no universal constant");
    });
}

com::Variant Material::GetUniversalConstantList() {
    return Traced(KORVID_OPERATION(ICapeThermoUniversalConstant, GetUniversalConstantList),
                  [&](CallTrace&) {
                      std::vector<std::wstring> names;
                      for (const auto& constant : kUniversalConstants) names.emplace_back(constant.name);
                      return com::MakeStringArray(names);
                  });
}

}  // namespace korvid::thermo_material
