// SetProp and GetProp through the vtable of ICapeThermoMaterialObject with
// typed arrays (VT_ARRAY|VT_BSTR ids, VT_ARRAY|VT_R8 values, lower bounds
// other than 0): the results' type, bounds and elements, and every refusal's
// HRESULT and error information.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "Korvid_h.h"
#include "tests/e2e/clients/client_checks.h"
#include "tests/e2e/clients/typed_results.h"

using namespace korvid::e2e;

namespace {

constexpr HRESULT kError1 = static_cast<HRESULT>(0x800A0001);
constexpr HRESULT kError2 = static_cast<HRESULT>(0x800A0002);
constexpr HRESULT kError9 = static_cast<HRESULT>(0x800A0009);
constexpr HRESULT kError13 = static_cast<HRESULT>(0x800A000D);
const std::wstring kSet = L"ICapeThermoMaterialObject.SetProp|";
const std::wstring kGet = L"ICapeThermoMaterialObject.GetProp|";

// A list argument: no list (VT_EMPTY), or the items from `lower`.
struct List {
    std::vector<std::wstring> ids;
    LONG lower = 0;
    bool present = false;
};
List All() { return {}; }
List Ids(std::vector<std::wstring> ids, LONG lower = 0) { return {std::move(ids), lower, true}; }

struct Values {
    Values(std::initializer_list<double> values = {}, LONG from = 0) : items(values), lower(from) {}
    std::vector<double> items;
    LONG lower;
};

void MakeIds(Var& out, const List& list) {
    if (list.present) MakeStrings(out, list.ids, list.lower);
}

HRESULT SetProp(ICapeThermoMaterialObject* mo, const wchar_t* property, const wchar_t* phase,
                const List& ids, const wchar_t* basis, const Values& values) {
    Var compIds, v;
    MakeIds(compIds, ids);
    MakeDoubles(v, values.items, values.lower);
    return mo->SetProp(Bstr(property), Bstr(phase), compIds.v, Bstr(L"calc"), Bstr(basis), v.v);
}

HRESULT GetProp(ICapeThermoMaterialObject* mo, const wchar_t* property, const wchar_t* phase,
                const List& ids, const wchar_t* basis, Var& result) {
    Var compIds;
    MakeIds(compIds, ids);
    return mo->GetProp(Bstr(property), Bstr(phase), compIds.v, Bstr(L""), Bstr(basis), &result.v);
}

void RoundTrips(ICapeThermoMaterialObject* mo) {
    struct Case {
        const char* what;
        const wchar_t* property;
        const wchar_t* phase;
        List setIds;
        const wchar_t* setBasis;
        Values values;  // nothing set when empty
        const wchar_t* getProperty;
        const wchar_t* getPhase;
        List getIds;
        const wchar_t* getBasis;
        std::vector<double> expected;
    };
    const std::vector<Case> cases = {
        {"initial temperature", L"", L"", All(), L"", {}, L"temperature", L"liquid", All(), L"mass", {273.15}},
        {"initial pressure", L"", L"", All(), L"", {}, L"PRESSURE", L"", All(), L"", {101325.0}},
        {"initial per-component key", L"", L"", All(), L"", {}, L"activity", L"solid", All(), L"moles", {0, 0, 0}},
        {"fraction for all components", L"fraction", L"vapor", All(), L"mole", {{0.2, 0.3, 0.5}},
         L"FRACTION", L"VAPOR", All(), L"", {0.2, 0.3, 0.5}},
        {"the mass basis kept apart", L"", L"", All(), L"", {}, L"fraction", L"vapor", All(), L"mass", {0, 0, 0}},
        {"the liquid phase kept apart", L"", L"", All(), L"", {}, L"fraction", L"liquid", All(), L"", {0, 0, 0}},
        {"ids from 3 name one component, all are written", L"fugacity", L"liquid",
         Ids({L"Ethane"}, 3), L"MASS", {{1.5, 2.5, 3.5}}, L"fugacity", L"liquid", Ids({L"Water"}, -2),
         L"mass", {1.5, 2.5, 3.5}},
        {"values from -1 are read from index 0", L"activity", L"overall", All(), L"",
         {{9, 10, 20, 30}, -1}, L"activity", L"", All(), L"", {10, 20, 30}},
        {"values beyond the components are ignored", L"kvalues", L"vapor", All(), L"",
         {{1, 2, 3, 4}}, L"KVALUES", L"vapor", All(), L"", {1, 2, 3}},
        {"a derivative key per component", L"VaporPressure.DTemperature", L"overall",
         All(), L"", {{10, 20, 30}}, L"vaporpressure.dtemperature", L"overall", All(), L"mole", {10, 20, 30}},
        {"the stem is another slot", L"", L"", All(), L"", {}, L"vaporPressure", L"overall", All(), L"", {0, 0, 0}},
        {"one value for all", L"temperature", L"", All(), L"", {{350}}, L"TEMPERATURE", L"overall",
         All(), L"mole", {350}},
        {"a one-value key reads the first component", L"HeatCapacity.DTemperature", L"LiquidLiquid",
         All(), L"", {{5, 6, 7}}, L"heatCapacity.dtemperature", L"liquidliquid", All(), L"", {5}},
        {"viscosity whatever compIds names", L"viscosity", L"VaporLiquid", All(), L"",
         {{0.001}}, L"viscosity", L"VaporLiquid", Ids({L"Water"}), L"", {0.001}},
        {"an empty values array changes nothing", L"viscosity", L"VaporLiquid", All(), L"",
         {}, L"viscosity", L"VaporLiquid", All(), L"", {0.001}},
    };
    for (const Case& c : cases) {
        if (c.property[0] != L'\0') {  // a case without SetProp reads only
            const HRESULT hr = SetProp(mo, c.property, c.phase, c.setIds,
                                       c.setBasis, c.values);
            Check(hr == S_OK, std::string(c.what) + ": SetProp " + Hex(hr));
        }
        Var result;
        const HRESULT hr = GetProp(mo, c.getProperty, c.getPhase, c.getIds, c.getBasis, result);
        Check(hr == S_OK, std::string(c.what) + ": GetProp " + Hex(hr));
        Check(Shape(result.v) == VectorShape(VT_R8, c.expected.size()),
              std::string(c.what) + ": shape " + Shape(result.v));
        Check(DoublesOf(result.v) == c.expected,
              std::string(c.what) + ": " + Join(DoublesOf(result.v)) + " expected " + Join(c.expected));
    }
}

void Refusals(ICapeThermoMaterialObject* mo) {
    struct Case {
        const char* what;
        bool set;
        const wchar_t* property;
        const wchar_t* phase;
        List ids;
        const wchar_t* basis;
        Values values;
        HRESULT hr;
        std::wstring info;
    };
    const std::wstring invalidSet = kSet + L"Error from Korvid.ICapeThermoMaterialObject.SetProp: Invalid Components.";
    const std::wstring invalidGet = kGet + L"Error from Korvid.ICapeThermoMaterialObject.GetProp: Invalid Components.";
    const std::vector<Case> cases = {
        {"no trailing blank", true, L"jouleThomsonCoefficient", L"", All(), L"", {{1}}, kError1,
         kSet + L"jouleThomsonCoefficient is not supported by this material object"},
        {"the property first", false, L"temperatures", L"GasLiquid", Ids({L"x"}), L"weight", {}, kError1,
         kGet + L"temperatures is not supported by this material object"},
        {"a published phase that is refused", true, L"fraction", L"VaporLiquidLiquid", All(), L"", {{1}},
         kError1, kSet + L"VaporLiquidLiquid is not supported by this material object"},
        {"a phase for GetProp", false, L"fraction", L"gas", All(), L"", {}, kError1,
         kGet + L"gas is not supported by this material object"},
        {"an unknown component (message box)", true, L"fraction", L"vapor", Ids({L"Methane", L"Propane"}, 7),
         L"", {{1, 2, 3}}, kError1, invalidSet},
        {"an unknown component again", false, L"fraction", L"vapor", Ids({L"74-82-8"}), L"", {}, kError1,
         invalidGet},
        {"a basis", true, L"fraction", L"vapor", All(), L"mass ", {{1}}, kError1,
         kSet + L"mass  is not a valid BASIS for this material Object."},
        {"a basis for GetProp", false, L"fraction", L"vapor", All(), L"molar", {}, kError1,
         kGet + L"molar is not a valid BASIS for this material Object."},
        {"a global name without a slot", true, L"MOLE", L"", All(), L"", {{1}}, kError2,
         kSet + L"Invalid Call to the Material Object. MOLE is not administered by the MO"},
        {"a derivative without a slot", false, L"meltingPressure.DPressure", L"", All(), L"", {}, kError2,
         kGet + L"Invalid Call to the Material Object. meltingPressure.DPressure is not administered by the MO"},
        {"one value at index 1", true, L"flow", L"", All(), L"", {{1}, 1}, kError9,
         L"Korvid|Subscript out of range"},
        {"two values for three components", true, L"flow", L"solid", All(), L"", {{7, 8}}, kError9,
         L"Korvid|Subscript out of range"},
    };
    for (const Case& c : cases) {
        Var result;
        const HRESULT hr = c.set ? SetProp(mo, c.property, c.phase, c.ids, c.basis, c.values)
                                 : GetProp(mo, c.property, c.phase, c.ids, c.basis, result);
        CheckError(hr, c.hr, c.info, c.what);
        Check(result.v.vt == VT_EMPTY, std::string(c.what) + ": no result");
    }
    // The cells before the failing index stay written.
    Var flow;
    GetProp(mo, L"flow", L"solid", All(), L"", flow);
    Check(DoublesOf(flow.v) == std::vector<double>({7, 8, 0}), "error 9 after two cells: " + Join(DoublesOf(flow.v)));

    // Values that are no array of numbers: type mismatch.
    Var notArray, texts;
    notArray.v.vt = VT_R8;
    notArray.v.dblVal = 1.0;
    MakeStrings(texts, {L"1", L"x", L"3"});
    for (const VARIANT* values : {&notArray.v, &texts.v}) {
        const HRESULT hr = mo->SetProp(Bstr(L"totalflow"), Bstr(L""), Var().v, Bstr(L""), Bstr(L""),
                                       *values);
        CheckError(hr, kError13, L"Korvid|Type mismatch", "values that are no numbers");
    }
    Var total;
    GetProp(mo, L"totalFlow", L"", All(), L"", total);
    Check(DoublesOf(total.v) == std::vector<double>({1}), "the text \"1\" was stored before \"x\" failed");
}

}  // namespace

int wmain() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ICapeThermoMaterialObject* mo = CreateTessel<ICapeThermoMaterialObject>(IID_ICapeThermoMaterialObject);
    if (mo) {
        RoundTrips(mo);
        Refusals(mo);
        Check(RefCount(mo) == 1, "references back to one");
        Check(mo->Release() == 0, "last release");
    }
    CheckServerMayUnload();
    CoUninitialize();
    return Finish();
}
