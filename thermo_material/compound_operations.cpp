// ICapeThermoCompounds, ICapeThermoPhases and ICapeThermoUniversalConstant:
// the compounds are the component table's rows as the material took them,
// the phases the fixed list of identifiers.h.
#include "thermo_material/material.h"

namespace korvid::thermo_material {

namespace {

std::vector<double> NumbersOf(const std::vector<Compound>& compounds,
                              double component_definition::ComponentRecord::*field) {
    std::vector<double> values;
    for (const Compound& compound : compounds) values.push_back(compound.record.*field);
    return values;
}

}  // namespace

void Material::GetCompoundList(VARIANT* compIds, VARIANT* formulae, VARIANT* names,
                               VARIANT* boilTemps, VARIANT* molwts, VARIANT* casnos) {
    for (VARIANT* out : {compIds, formulae, names, boilTemps, molwts, casnos}) VariantClear(out);
    Traced(KORVID_OPERATION(ICapeThermoCompounds, GetCompoundList), [&](CallTrace& trace) {
        std::vector<std::wstring> ids, formulas, iupac, cas;
        for (const Compound& compound : compounds_) {
            ids.push_back(compound.id);
            formulas.push_back(compound.record.formula);
            iupac.push_back(compound.record.name);
            cas.push_back(compound.record.cas);
            trace.Text(L"compIds[" + std::to_wstring(ids.size() - 1) + L"]", compound.id);
        }
        com::MakeStringArray(ids).DetachTo(compIds);
        com::MakeStringArray(formulas).DetachTo(formulae);
        com::MakeStringArray(iupac).DetachTo(names);
        com::MakeDoubleArray(NumbersOf(compounds_, &component_definition::ComponentRecord::tb))
            .DetachTo(boilTemps);
        com::MakeDoubleArray(NumbersOf(compounds_, &component_definition::ComponentRecord::mw))
            .DetachTo(molwts);
        com::MakeStringArray(cas).DetachTo(casnos);
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

com::Variant Material::GetCompoundConstant(const VARIANT& props, const VARIANT& compIds) {
    return Traced(KORVID_OPERATION(ICapeThermoCompounds, GetCompoundConstant),
                  [&](CallTrace& trace) {
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
        for (const CompoundConstant* constant : constants) {
            for (size_t k : chosen) {
                const auto& record = compounds_[k].record;
                com::Variant value = constant->text ? com::Variant::FromText(record.*constant->text)
                                                    : com::Variant::FromDouble(record.*constant->number);
                SafeArrayPutElement(result.get()->parray, &index, value.get());
                ++index;
            }
        }
        trace.Value(L"propVals", *result);
        return result;
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
    VariantClear(propVals);
    Traced(KORVID_OPERATION(ICapeThermoCompounds, GetTDependentProperty), [&](CallTrace& trace) {
        trace.Value(L"props", props);
        trace.Number(L"temperature", temperature);
        trace.Value(L"compIds", compIds);
        Raise(kECapeNoImpl, L"This material serves no temperature-dependent property.");
    });
}

void Material::GetPDependentProperty(const VARIANT& props, double pressure,
                                     const VARIANT& compIds, VARIANT* propVals) {
    VariantClear(propVals);
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
    for (VARIANT* out : {phaseLabels, stateOfAggregation, keyCompoundId}) VariantClear(out);
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
