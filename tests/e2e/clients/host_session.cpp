// A host-style C++ client that calls every operation of the material object
// through the vtables with typed arrays, as a simulation host and the unit
// under test would: results by type, bounds and elements, the objects made
// by CreateMaterialObject and Duplicate, reference counts back to zero and
// DllCanUnloadNow at the end.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "Korvid_h.h"
#include "tests/e2e/clients/client_checks.h"
#include "tests/e2e/clients/typed_results.h"

using namespace korvid::e2e;

namespace {

constexpr HRESULT kError9 = static_cast<HRESULT>(0x800A0009);
constexpr HRESULT kError13 = static_cast<HRESULT>(0x800A000D);

const std::vector<std::wstring> kNames = {L"Methane", L"Ethane", L"Water"};
const std::vector<std::wstring> kPhases = {L"overall", L"liquid", L"vapor", L"solid",
                                           L"LiquidLiquid", L"VaporLiquid", L"VaporLiquidLiquid",
                                           L"GasLiquid"};

// The list operations: each result a fresh array from 0.
void Lists(ICapeThermoMaterialObject* mo) {
    using Getter = HRESULT (STDMETHODCALLTYPE ICapeThermoMaterialObject::*)(VARIANT*);
    struct Case {
        const char* what;
        Getter get;
        size_t count;
        std::vector<std::pair<size_t, std::wstring>> elements;
    };
    const std::vector<Case> cases = {
        {"ComponentIds", &ICapeThermoMaterialObject::get_ComponentIds, 3,
         {{0, kNames[0]}, {1, kNames[1]}, {2, kNames[2]}}},
        {"PhaseIds", &ICapeThermoMaterialObject::get_PhaseIds, 8, {{0, L"overall"}, {7, L"GasLiquid"}}},
        {"AvailableProps", &ICapeThermoMaterialObject::AvailableProps, 51,
         {{0, L"vaporPressure"}, {10, L"jouleThomsonCoefficient "}, {50, L"dewPointTemperature"}}},
        {"GetPropList", &ICapeThermoMaterialObject::GetPropList, 51,
         {{10, L"jouleThomsonCoefficient "}, {43, L"fugacity"}}},
    };
    for (const Case& c : cases) {
        Var first, second;
        Check((mo->*c.get)(&first.v) == S_OK && (mo->*c.get)(&second.v) == S_OK, c.what);
        Check(Shape(first.v) == VectorShape(VT_BSTR, c.count), std::string(c.what) + ": " + Shape(first.v));
        const auto items = StringsOf(first.v);
        for (const auto& [index, text] : c.elements) {
            Check(index < items.size() && items[index] == text,
                  std::string(c.what) + " element " + std::to_string(index));
        }
        Check(first.v.parray != second.v.parray && StringsOf(second.v) == items,
              std::string(c.what) + ": every call a fresh copy");
    }
    Var phases;
    mo->get_PhaseIds(&phases.v);
    Check(StringsOf(phases.v) == kPhases, "PhaseIds in table order");

    LONG count = 0;
    Check(mo->GetNumComponents(&count) == S_OK && count == 3, "GetNumComponents " + std::to_string(count));
}

void Checks(ICapeThermoMaterialObject* mo) {
    struct Case {
        const char* what;
        std::vector<std::wstring> props;  // empty: a single text, no list
        LONG lower;
        size_t expected;
    };
    const std::vector<Case> cases = {
        {"a list from 2", {L"temperature", L"no such property"}, 2, 2},
        {"one name: one per component", {}, 0, 3},
        {"a one-element list", {L"x"}, 0, 1},
    };
    for (const Case& c : cases) {
        Var props, valid;
        if (c.props.empty()) {
            props.v.vt = VT_BSTR;
            props.v.bstrVal = SysAllocString(L"temperature");
        } else {
            MakeStrings(props, c.props, c.lower);
        }
        Check(mo->PropCheck(props.v, &valid.v) == S_OK, std::string("PropCheck ") + c.what);
        Check(Shape(valid.v) == VectorShape(VT_BOOL, c.expected),
              std::string("PropCheck ") + c.what + ": " + Shape(valid.v));
        Check(BooleansOf(valid.v) == std::vector<VARIANT_BOOL>(c.expected, VARIANT_TRUE),
              std::string("PropCheck ") + c.what + ": all True");
    }
    Var props, relList;
    MakeStrings(props, {L"temperature"});
    relList.v.vt = VT_I4;
    Check(mo->ValidityCheck(props.v, &relList.v) == S_OK && relList.v.vt == VT_EMPTY, "ValidityCheck gives Empty");

    // RemoveResults removes nothing.
    Var values, compIds, result;
    MakeDoubles(values, {0.25, 0.5, 0.25});
    Check(mo->SetProp(Bstr(L"fraction"), Bstr(L"liquid"), compIds.v, Bstr(L""), Bstr(L""), values.v) == S_OK,
          "SetProp fraction");
    Check(mo->RemoveResults(props.v) == S_OK, "RemoveResults");
    mo->GetProp(Bstr(L"fraction"), Bstr(L"liquid"), compIds.v, Bstr(L""), Bstr(L""), &result.v);
    Check(DoublesOf(result.v) == std::vector<double>({0.25, 0.5, 0.25}), "values kept after RemoveResults");
}

void Constants(ICapeThermoMaterialObject* mo) {
    struct Case {
        const char* what;
        std::vector<std::wstring> props;
        std::vector<std::wstring> ids;  // empty: all components (VT_EMPTY)
        LONG idsLower;
        std::string shape;
        std::vector<double> elements;  // leftmost index fastest
    };
    const std::vector<Case> cases = {
        {"one name, all components", {L"molecularWeight"}, {}, 0, "vt=0x2005 0..2", {16.043, 30.069, 18.015}},
        // Columns run from 0 to the ids' upper bound: column 0 has no id.
        {"one name, ids from 1", {L"acentricFactor"}, {L"Water", L"Propane"}, 1, "vt=0x2005 0..2",
         {0, 0.3449, 0}},
        {"three names by two ids: (property, column)",
         {L"molecularWeight", L"criticalTemperature", L"iupacName"}, {L"Ethane", L"Methane"}, 0,
         "vt=0x2005 0..2 0..1", {30.069, 305.32, 0, 16.043, 190.56, 0}},
        {"every served field",
         {L"normalBoilingPoint", L"criticalPressure", L"parachor", L"liquidDensityAt25C",
          L"standardFormationEnthalpyLiquid", L"MolecularWeight"},
         {L"Water"}, 0, "vt=0x2005 0..5 0..0", {373.15, 220.64, 52, 0.997, -241.82, 0}},
    };
    for (const Case& c : cases) {
        Var props, ids, result;
        MakeStrings(props, c.props);
        if (!c.ids.empty()) MakeStrings(ids, c.ids, c.idsLower);
        Check(mo->GetComponentConstant(props.v, ids.v, &result.v) == S_OK, c.what);
        Check(Shape(result.v) == c.shape, std::string(c.what) + ": " + Shape(result.v));
        Check(DoublesOf(result.v) == c.elements,
              std::string(c.what) + ": " + Join(DoublesOf(result.v)) + " expected " + Join(c.elements));
    }

    struct Universal {
        const char* what;
        std::vector<std::wstring> props;  // empty: VT_EMPTY
        size_t count;
    };
    std::vector<double> seen;
    for (const Universal& u : {Universal{"two names", {L"gasConstant", L"nonsense"}, 2},
                               Universal{"no names: one per component", {}, 3},
                               Universal{"the same names again", {L"gasConstant", L"nonsense"}, 2}}) {
        Var props, result;
        if (!u.props.empty()) MakeStrings(props, u.props);
        Check(mo->GetUniversalConstant(props.v, &result.v) == S_OK, u.what);
        Check(Shape(result.v) == VectorShape(VT_R8, u.count), std::string(u.what) + ": " + Shape(result.v));
        for (double value : DoublesOf(result.v)) {
            Check(value >= 0 && value < 100, std::string(u.what) + ": in [0, 100): " + Join({value}));
            for (double earlier : seen) Check(value != earlier, std::string(u.what) + ": a fresh number");
            seen.push_back(value);
        }
    }
}

void Calculation(ICapeThermoMaterialObject* mo) {
    Var props, phases;
    MakeStrings(props, {L"enthalpy"});
    MakeStrings(phases, {L"vapor"});
    Check(mo->CalcProp(props.v, phases.v, Bstr(L"Mixture")) == S_OK, "CalcProp");
    Check(mo->CalcEquilibrium(Bstr(L"TP"), props.v) == S_OK, "CalcEquilibrium");
    struct Case {
        const wchar_t* property;
        const wchar_t* phase;
        const wchar_t* basis;
        std::vector<double> expected;
    };
    for (const Case& c : {Case{L"temperature", L"VaporLiquid", L"mole", {888.888}},
                          Case{L"temperature", L"solid", L"mass", {273.15}},
                          Case{L"phasefraction", L"overall", L"", {1.0 / 7}},
                          Case{L"phaseFraction", L"liquid", L"mass", {0}}}) {
        Var none, result;
        Check(mo->GetProp(Bstr(c.property), Bstr(c.phase), none.v, Bstr(L""), Bstr(c.basis), &result.v) == S_OK &&
                  DoublesOf(result.v) == c.expected,
              "after CalcEquilibrium " + Narrow(c.property) + " " + Narrow(c.phase) + " " + Narrow(c.basis) +
                  ": " + Join(DoublesOf(result.v)));
    }
}

void IndependentVariables(ICapeThermoMaterialObject* mo) {
    struct Step {
        const char* what;
        std::vector<std::wstring> setNames;  // empty: no SetIndependentVar
        LONG setLower;
        std::vector<double> values;
        HRESULT setResult;
        std::vector<std::wstring> getNames;
        LONG getLower;
        std::string shape;
        std::vector<double> expected;
    };
    const std::vector<Step> steps = {
        {"initial", {}, 0, {}, S_OK, {L"TEMPERATURE", L"PRESSURE", L"Pressure"}, 0, "vt=0x2005 0..2", {-1, -1, 0}},
        {"two accepted names", {L"TEMPERATURE", L"PRESSURE"}, 0, {300, 200000}, S_OK,
         {L"PRESSURE", L"TEMPERATURE"}, 0, "vt=0x2005 0..1", {200000, 300}},
        {"positions from 1: slot 1, result 0..1", {L"pressure"}, 1, {5}, S_OK, {L"pressure"}, 1,
         "vt=0x2005 0..1", {0, 5}},
        {"a third accepted name", {L"VOLUME", L"DENSITY", L"ENTHALPY"}, 0, {1, 2, 3}, kError9,
         {L"VOLUME", L"DENSITY", L"ENTHALPY"}, 0, "vt=0x2005 0..2", {1, 2, 0}},
    };
    for (const Step& s : steps) {
        if (!s.setNames.empty()) {
            Var names, values;
            MakeStrings(names, s.setNames, s.setLower);
            MakeDoubles(values, s.values, s.setLower);
            const HRESULT hr = mo->SetIndependentVar(names.v, values.v);
            Check(hr == s.setResult, std::string(s.what) + ": SetIndependentVar " + Hex(hr));
        }
        Var names, result;
        MakeStrings(names, s.getNames, s.getLower);
        Check(mo->GetIndependentVar(names.v, &result.v) == S_OK, std::string(s.what) + ": GetIndependentVar");
        Check(Shape(result.v) == s.shape, std::string(s.what) + ": " + Shape(result.v));
        Check(DoublesOf(result.v) == s.expected,
              std::string(s.what) + ": " + Join(DoublesOf(result.v)) + " expected " + Join(s.expected));
    }
    Var names, texts;
    MakeStrings(names, {L"TEMPERATURE"});
    MakeStrings(texts, {L"hot"});
    CheckError(mo->SetIndependentVar(names.v, texts.v), kError13, L"Korvid|Type mismatch", "a value that is no number");
}

// An object made by the material object: its identification, its public
// component count, and a reference that is the only one.
void CheckMadeObject(IDispatch* made, const wchar_t* name, const char* what) {
    Check(made != nullptr, std::string(what) + " gives an object");
    if (!made) return;
    Check(RefCount(made) == 1, std::string(what) + ": the caller holds the only reference");
    ICapeIdentification* ident = nullptr;
    _Tessel* tessel = nullptr;
    made->QueryInterface(IID_ICapeIdentification, reinterpret_cast<void**>(&ident));
    made->QueryInterface(IID__Tessel, reinterpret_cast<void**>(&tessel));
    Check(ident && tessel, std::string(what) + ": a Tessel");
    if (ident) {
        BSTR text = nullptr;
        Check(ident->get_ComponentName(&text) == S_OK && text && std::wstring(text) == name,
              std::string(what) + ": ComponentName " + Narrow(text ? text : L""));
        SysFreeString(text);
        ident->Release();
    }
    if (tessel) {
        LONG num = 0;
        Var names;
        Check(tessel->get_m_num(&num) == S_OK && num == 3, std::string(what) + ": m_num");
        Check(tessel->get_m_compNames(&names.v) == S_OK && StringsOf(names.v) == kNames,
              std::string(what) + ": the creator's names");
        tessel->Release();
    }
    Check(RefCount(made) == 1, std::string(what) + ": references back to one");
}

// Both made objects stay alive until both are checked: releasing any object
// closes the thread's current report, after which a traced call fails.
void Cloning(ICapeThermoMaterialObject* mo) {
    IDispatch* created = nullptr;
    IDispatch* copy = nullptr;
    Check(mo->CreateMaterialObject(&created) == S_OK, "CreateMaterialObject");
    Check(mo->Duplicate(&copy) == S_OK, "Duplicate");
    CheckMadeObject(created, L"Validation Material Object", "CreateMaterialObject");
    CheckMadeObject(copy, L"Calculated MO", "Duplicate");
    Check(created && created->Release() == 0, "the created object released to zero");
    LONG count = 0;
    CheckError(mo->GetNumComponents(&count), static_cast<HRESULT>(0x800A0034),
               L"Korvid|Bad file name or number", "a traced call after a release closed the report");
    Check(copy && copy->Release() == 0, "the duplicate released to zero");
}

}  // namespace

int wmain() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ICapeThermoMaterialObject* mo = CreateTessel<ICapeThermoMaterialObject>(IID_ICapeThermoMaterialObject);
    if (mo) {
        Lists(mo);
        Checks(mo);
        Constants(mo);
        Calculation(mo);
        IndependentVariables(mo);
        Cloning(mo);
        Check(RefCount(mo) == 1, "references back to one");
        Check(mo->Release() == 0, "last release");
    }
    CheckServerMayUnload();
    CoUninitialize();
    return Finish();
}
