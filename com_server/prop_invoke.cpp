#include "com_server/prop_invoke.h"

namespace korvid::com {

namespace {

// The DISPIDs of GetProp and SetProp in ICapeThermoMaterialObject.
constexpr DISPID kGetPropId = 6;
constexpr DISPID kSetPropId = 7;

// The arguments of one call, first parameter first.
class Arguments {
public:
    explicit Arguments(const DISPPARAMS& params) : params_(params) {}

    // Parameter `k` as a BSTR, when it holds one without conversion.
    bool Text(UINT k, BSTR* text) const {
        const VARIANT& arg = At(k);
        if (arg.vt == VT_BSTR) {
            *text = arg.bstrVal;
            return true;
        }
        if (arg.vt == (VT_BYREF | VT_VARIANT) && arg.pvarVal && arg.pvarVal->vt == VT_BSTR) {
            *text = arg.pvarVal->bstrVal;
            return true;
        }
        return false;
    }

    // Parameter `k` as a VARIANT to pass on: by value, or a by-reference
    // variant whose target is by value (the operations read through it).
    bool Value(UINT k, VARIANT* value) const {
        const VARIANT& arg = At(k);
        const bool plain = !(arg.vt & VT_BYREF) || (arg.vt == (VT_BYREF | VT_VARIANT) &&
                                                    arg.pvarVal && !(arg.pvarVal->vt & VT_BYREF));
        if (plain) *value = arg;
        return plain;
    }

private:
    const VARIANT& At(UINT k) const { return params_.rgvarg[params_.cArgs - 1 - k]; }

    const DISPPARAMS& params_;
};

// What the general way answers for a method that failed with `hr`.
HRESULT AsException(HRESULT hr, EXCEPINFO* excep) {
    if (excep) {
        *excep = EXCEPINFO{};
        excep->scode = hr;
        IErrorInfo* info = nullptr;
        if (GetErrorInfo(0, &info) == S_OK && info) {
            info->GetSource(&excep->bstrSource);
            info->GetDescription(&excep->bstrDescription);
            info->GetHelpFile(&excep->bstrHelpFile);
            info->GetHelpContext(&excep->dwHelpContext);
            info->Release();
        }
    }
    return DISP_E_EXCEPTION;
}

}  // namespace

std::optional<HRESULT> InvokePropDirect(ICapeThermoMaterialObject* thermo, DISPID id, WORD flags,
                                        const DISPPARAMS* params, VARIANT* result,
                                        EXCEPINFO* excep) {
    if (!params || !params->rgvarg || params->cNamedArgs != 0 || !(flags & DISPATCH_METHOD)) {
        return std::nullopt;
    }
    const Arguments args(*params);
    BSTR property, phase, calcType, basis;
    VARIANT compIds;
    if (id == kGetPropId && params->cArgs == 5) {
        if (!args.Text(0, &property) || !args.Text(1, &phase) || !args.Value(2, &compIds) ||
            !args.Text(3, &calcType) || !args.Text(4, &basis)) {
            return std::nullopt;
        }
        VARIANT values;
        VariantInit(&values);
        const HRESULT hr = thermo->GetProp(property, phase, compIds, calcType, basis, &values);
        if (FAILED(hr)) return AsException(hr, excep);
        if (result) {
            *result = values;
        } else {
            VariantClear(&values);
        }
        return S_OK;
    }
    if (id == kSetPropId && params->cArgs == 6 && !result) {
        VARIANT values;
        if (!args.Text(0, &property) || !args.Text(1, &phase) || !args.Value(2, &compIds) ||
            !args.Text(3, &calcType) || !args.Text(4, &basis) || !args.Value(5, &values)) {
            return std::nullopt;
        }
        const HRESULT hr = thermo->SetProp(property, phase, compIds, calcType, basis, values);
        return FAILED(hr) ? AsException(hr, excep) : S_OK;
    }
    return std::nullopt;
}

}  // namespace korvid::com
