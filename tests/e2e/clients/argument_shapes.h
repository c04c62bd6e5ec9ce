// The bad (and good) arguments the robustness client throws at the object:
// every VARIANT type, NULL and empty BSTRs, empty, huge, two-dimensional,
// non-zero-based and by-reference arrays, arrays of objects, texts that are
// not numbers, NaN and infinities.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace korvid::e2e {

// A VARIANT argument built afresh for each call and cleared after it.
struct VariantShape {
    std::string name;
    std::function<void(VARIANT*)> make;
};

// A BSTR argument; `text` nullptr stands for a NULL BSTR.
struct TextShape {
    std::string name;
    std::wstring text;
    bool null = false;
};

inline SAFEARRAY* Vector(VARTYPE vt, LONG lower, ULONG count) {
    SAFEARRAYBOUND bound{count, lower};
    return SafeArrayCreate(vt, 1, &bound);
}

inline void PutStrings(VARIANT* v, const std::vector<std::wstring>& items, LONG lower = 0,
                       bool asVariants = false) {
    SAFEARRAY* psa = Vector(asVariants ? VT_VARIANT : VT_BSTR, lower, static_cast<ULONG>(items.size()));
    for (size_t k = 0; k < items.size(); ++k) {
        LONG index = lower + static_cast<LONG>(k);
        BSTR s = SysAllocString(items[k].c_str());
        if (asVariants) {
            VARIANT e;
            e.vt = VT_BSTR;
            e.bstrVal = s;
            SafeArrayPutElement(psa, &index, &e);
        } else {
            SafeArrayPutElement(psa, &index, s);
        }
        SysFreeString(s);
    }
    v->vt = VT_ARRAY | (asVariants ? VT_VARIANT : VT_BSTR);
    v->parray = psa;
}

inline void PutDoubles(VARIANT* v, const std::vector<double>& values, LONG lower = 0) {
    SAFEARRAY* psa = Vector(VT_R8, lower, static_cast<ULONG>(values.size()));
    double* data = nullptr;
    SafeArrayAccessData(psa, reinterpret_cast<void**>(&data));
    for (size_t k = 0; k < values.size(); ++k) data[k] = values[k];
    SafeArrayUnaccessData(psa);
    v->vt = VT_ARRAY | VT_R8;
    v->parray = psa;
}

// Variants that live as long as the shapes: targets of by-reference shapes.
struct ShapeStore {
    VARIANT arrayTarget;
    VARIANT textTarget;
    double number = 2.5;
    SAFEARRAY* byRefArray = nullptr;
    ShapeStore() {
        VariantInit(&arrayTarget);
        VariantInit(&textTarget);
        PutStrings(&arrayTarget, {L"temperature", L"Methane"});
        textTarget.vt = VT_BSTR;
        textTarget.bstrVal = SysAllocString(L"fraction");
        VARIANT holder;
        VariantInit(&holder);
        PutDoubles(&holder, {1.0, 2.0, 3.0});
        byRefArray = holder.parray;
    }
    ~ShapeStore() {
        VariantClear(&arrayTarget);
        VariantClear(&textTarget);
        SafeArrayDestroy(byRefArray);
    }
};

inline std::vector<VariantShape> VariantShapes(ShapeStore& store, IDispatch* object) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    auto scalar = [](VARTYPE vt, auto set) {
        return [vt, set](VARIANT* v) {
            v->vt = vt;
            set(v);
        };
    };
    std::vector<VariantShape> shapes = {
        {"empty", [](VARIANT* v) { v->vt = VT_EMPTY; }},
        {"null", [](VARIANT* v) { v->vt = VT_NULL; }},
        {"i2", scalar(VT_I2, [](VARIANT* v) { v->iVal = -3; })},
        {"i4", scalar(VT_I4, [](VARIANT* v) { v->lVal = 7; })},
        {"r4", scalar(VT_R4, [](VARIANT* v) { v->fltVal = 1.5f; })},
        {"r8", scalar(VT_R8, [](VARIANT* v) { v->dblVal = 300.0; })},
        {"r8 nan", scalar(VT_R8, [nan](VARIANT* v) { v->dblVal = nan; })},
        {"r8 inf", scalar(VT_R8, [inf](VARIANT* v) { v->dblVal = -inf; })},
        {"cy", scalar(VT_CY, [](VARIANT* v) { v->cyVal.int64 = 12345; })},
        {"date", scalar(VT_DATE, [](VARIANT* v) { v->date = 45000.5; })},
        {"bool", scalar(VT_BOOL, [](VARIANT* v) { v->boolVal = VARIANT_TRUE; })},
        {"error", scalar(VT_ERROR, [](VARIANT* v) { v->scode = DISP_E_PARAMNOTFOUND; })},
        {"i1", scalar(VT_I1, [](VARIANT* v) { v->cVal = 'x'; })},
        {"ui8", scalar(VT_UI8, [](VARIANT* v) { v->ullVal = 1ull << 60; })},
        {"decimal", [](VARIANT* v) { VarDecFromR8(3.25, &v->decVal); v->vt = VT_DECIMAL; }},
        {"bstr null", scalar(VT_BSTR, [](VARIANT* v) { v->bstrVal = nullptr; })},
        {"bstr empty", scalar(VT_BSTR, [](VARIANT* v) { v->bstrVal = SysAllocString(L""); })},
        {"bstr word", scalar(VT_BSTR, [](VARIANT* v) { v->bstrVal = SysAllocString(L"Methane"); })},
        {"bstr number", scalar(VT_BSTR, [](VARIANT* v) { v->bstrVal = SysAllocString(L"1.5"); })},
        {"bstr not a number", scalar(VT_BSTR, [](VARIANT* v) { v->bstrVal = SysAllocString(L"1.5.5x"); })},
        {"dispatch null", scalar(VT_DISPATCH, [](VARIANT* v) { v->pdispVal = nullptr; })},
        {"dispatch object", scalar(VT_DISPATCH, [object](VARIANT* v) { object->AddRef(); v->pdispVal = object; })},
        {"unknown object", scalar(VT_UNKNOWN, [object](VARIANT* v) { object->AddRef(); v->punkVal = object; })},
        {"array type without array", scalar(VT_ARRAY | VT_BSTR, [](VARIANT* v) { v->parray = nullptr; })},
        {"empty variant array", [](VARIANT* v) { PutStrings(v, {}, 0, true); }},
        {"empty double array", [](VARIANT* v) { PutDoubles(v, {}); }},
        {"names", [](VARIANT* v) { PutStrings(v, {L"temperature", L"pressure"}); }},
        {"names as variants", [](VARIANT* v) { PutStrings(v, {L"Methane", L"Ethane", L"Water"}, 0, true); }},
        {"names from 5", [](VARIANT* v) { PutStrings(v, {L"vapor", L"FRACTION", L"mole"}, 5); }},
        {"names from -2", [](VARIANT* v) { PutStrings(v, {L"74-82-8", L"x"}, -2); }},
        {"strange names", [](VARIANT* v) { PutStrings(v, {L"", L" temperature", std::wstring(70000, L'x'), L"\u00e9\u4e2d"}); }},
        {"doubles", [](VARIANT* v) { PutDoubles(v, {0.2, 0.3, 0.5}); }},
        {"doubles from 1", [](VARIANT* v) { PutDoubles(v, {1.0}, 1); }},
        {"doubles nan inf", [nan, inf](VARIANT* v) { PutDoubles(v, {nan, inf, -inf, -0.0}); }},
        {"huge doubles", [](VARIANT* v) { PutDoubles(v, std::vector<double>(100000, 1.25)); }},
        {"huge names", [](VARIANT* v) { PutStrings(v, std::vector<std::wstring>(100000, L"TEMPERATURE")); }},
        {"two-dimensional", [](VARIANT* v) {
             SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 1}};
             v->vt = VT_ARRAY | VT_R8;
             v->parray = SafeArrayCreate(VT_R8, 2, bounds);
         }},
        {"two-dimensional names", [](VARIANT* v) {
             SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
             v->vt = VT_ARRAY | VT_BSTR;
             v->parray = SafeArrayCreate(VT_BSTR, 2, bounds);
         }},
        {"objects in variants", [object](VARIANT* v) {
             SAFEARRAY* psa = Vector(VT_VARIANT, 0, 2);
             for (LONG k = 0; k < 2; ++k) {
                 VARIANT e;
                 e.vt = VT_DISPATCH;
                 e.pdispVal = object;
                 SafeArrayPutElement(psa, &k, &e);  // copies (AddRef)
             }
             v->vt = VT_ARRAY | VT_VARIANT;
             v->parray = psa;
         }},
        {"nested array", [](VARIANT* v) {
             SAFEARRAY* psa = Vector(VT_VARIANT, 0, 1);
             VARIANT inner;
             VariantInit(&inner);
             PutDoubles(&inner, {1.0, 2.0});
             LONG k = 0;
             SafeArrayPutElement(psa, &k, &inner);
             VariantClear(&inner);
             v->vt = VT_ARRAY | VT_VARIANT;
             v->parray = psa;
         }},
        {"byref variant array", [&store](VARIANT* v) { v->vt = VT_BYREF | VT_VARIANT; v->pvarVal = &store.arrayTarget; }},
        {"byref variant text", [&store](VARIANT* v) { v->vt = VT_BYREF | VT_VARIANT; v->pvarVal = &store.textTarget; }},
        {"byref double", [&store](VARIANT* v) { v->vt = VT_BYREF | VT_R8; v->pdblVal = &store.number; }},
        {"byref double array", [&store](VARIANT* v) { v->vt = VT_BYREF | VT_ARRAY | VT_R8; v->pparray = &store.byRefArray; }},
    };
    return shapes;
}

inline std::vector<TextShape> TextShapes() {
    return {
        {"null", L"", true},
        {"empty", L""},
        {"temperature", L"temperature"},
        {"FRACTION", L"FRACTION"},
        {"vaporPressure.DTemperature", L"vaporPressure.DTemperature"},
        {"energy", L"energy"},
        {"overall", L"overall"},
        {"vapor", L"vapor"},
        {"GasLiquid", L"GasLiquid"},
        {"mole", L"mole"},
        {"MASS", L"MASS"},
        {"blank", L" "},
        {"number", L"1.5"},
        {"accents", L"\u00e9t\u00e9 \u4e2d"},
        {"long", std::wstring(100000, L'p')},
        {"embedded nul", std::wstring(L"temp\0erature", 12)},
    };
}

// The 100,000-element lists and texts. While an IMallocSpy is registered the
// task allocator tracks blocks in a list, so these run before the spy.
template <typename Shape>
bool IsHuge(const Shape& shape) {
    return shape.name.rfind("huge", 0) == 0 || shape.name == "long";
}

}  // namespace korvid::e2e
