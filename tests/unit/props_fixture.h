// A created Tessel with the three components of ThreeComponents(), and the
// VARIANT shapes that clients pass: scalars, by-reference variants, arrays
// of several dimensions, arrays never dimensioned.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "automation/com_error.h"
#include "automation/variant.h"
#include "material_object/tessel.h"
#include "tests/unit/fixtures.h"

namespace korvid::testing::props {

class TesselTest : public ScriptedTest {
protected:
    // Creates the object through its definition form; `report` empty: no report.
    // The previous object goes first: its release would close the new report.
    material_object::Tessel& Create(const std::wstring& report = L"", bool casAsId = false) {
        tessel_.reset();
        if (module_.g_numComponents == 0) DefineComponents(ThreeComponents());
        QueueOkForm(report, casAsId);
        tessel_ = std::make_unique<material_object::Tessel>();
        return *tessel_;
    }

    std::unique_ptr<material_object::Tessel> tessel_;
};

// The error that `body` raises; a test failure when it raises none.
template <typename Body>
RaisedError Catch(Body&& body) {
    try {
        body();
    } catch (const RaisedError& e) {
        return e;
    }
    ADD_FAILURE() << "no error was raised";
    return RaisedError{0, L"", L""};
}

inline com::Variant Str(std::wstring_view text) { return com::Variant::FromText(text); }
inline com::Variant Num(double value) { return com::Variant::FromDouble(value); }
inline com::Variant NullValue() {
    com::Variant v;
    v.get()->vt = VT_NULL;
    return v;
}
inline com::Variant BoolValue(bool value) {
    com::Variant v;
    v.get()->vt = VT_BOOL;
    v.get()->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}
// A by-reference variant that points at `target` (as script hosts pass
// their variables); it owns nothing.
inline com::Variant ByRef(com::Variant& target) {
    com::Variant v;
    v.get()->vt = VT_BYREF | VT_VARIANT;
    v.get()->pvarVal = target.get();
    return v;
}
// An array type with no array behind it (a dynamic array never dimensioned).
inline com::Variant Undimensioned(VARTYPE elementType) {
    com::Variant v;
    v.get()->vt = VT_ARRAY | elementType;
    v.get()->parray = nullptr;
    return v;
}
// A rows x cols array of doubles, every element `value`.
inline com::Variant Matrix(ULONG rows, ULONG cols, double value) {
    std::vector<double> values(static_cast<size_t>(rows) * cols, value);
    return com::MakeDoubleArray2D(values, rows, cols);
}
inline com::Variant Variants(std::vector<com::Variant> items, LONG lower = 0) {
    return VariantArray(std::move(items), lower);
}

// Calls a method by name through the object's default IDispatch, as a script
// does: arguments in order, each a by-reference variant.
inline HRESULT InvokeByName(IDispatch* dispatch, const wchar_t* name,
                            std::vector<com::Variant*> args, VARIANT* result, EXCEPINFO* excep) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::vector<VARIANT> refs(args.size());
    for (size_t k = 0; k < args.size(); ++k) {
        VARIANT& ref = refs[args.size() - 1 - k];  // the last argument comes first
        VariantInit(&ref);
        ref.vt = VT_BYREF | VT_VARIANT;
        ref.pvarVal = args[k]->get();
    }
    DISPPARAMS params{refs.data(), nullptr, static_cast<UINT>(refs.size()), 0};
    UINT argErr = 0;
    return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                            excep, &argErr);
}

}  // namespace korvid::testing::props
