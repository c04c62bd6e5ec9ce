#include "com_server/argument_check.h"

namespace korvid::com {

namespace {

HRESULT Refuse(HRESULT hr, UINT index, UINT* argErr) {
    if (argErr) *argErr = index;
    return hr;
}

}  // namespace

VARTYPE ParameterType(const TYPEDESC& type) {
    if (type.vt == VT_PTR && type.lptdesc) return VT_BYREF | ParameterType(*type.lptdesc);
    if (type.vt == VT_SAFEARRAY && type.lptdesc) return VT_ARRAY | ParameterType(*type.lptdesc);
    return type.vt;
}

ReadyArguments::~ReadyArguments() {
    for (VARIANT& value : owned_) VariantClear(&value);
}

VARIANT* ReadyArguments::Own() {
    owned_.emplace_back();
    VariantInit(&owned_.back());
    return &owned_.back();
}

HRESULT ReadyArguments::Prepare(const std::vector<VARTYPE>& params, const DISPPARAMS& call,
                                UINT* argErr) {
    const UINT count = static_cast<UINT>(params.size());
    if (call.cNamedArgs > call.cArgs || (call.cArgs && !call.rgvarg) ||
        (call.cNamedArgs && !call.rgdispidNamedArgs)) {
        return E_INVALIDARG;
    }
    for (UINT k = 0; k < call.cNamedArgs; ++k) {
        const DISPID id = call.rgdispidNamedArgs[k];
        const bool names = (id >= 0 && static_cast<UINT>(id) < count) ||
                           (id == DISPID_PROPERTYPUT && count > 0);
        if (!names) return Refuse(DISP_E_PARAMNOTFOUND, k, argErr);
    }
    args_.assign(call.rgvarg, call.rgvarg + call.cArgs);
    ready_ = call;
    ready_.rgvarg = args_.data();
    UINT positional = 0;
    for (UINT p = 0; p < count; ++p) {
        // A named argument for the parameter, else the next one in order
        // (rgvarg holds them last first, after the named ones).
        UINT source = call.cArgs;
        for (UINT k = 0; k < call.cNamedArgs && source == call.cArgs; ++k) {
            const DISPID id = call.rgdispidNamedArgs[k];
            if (id == static_cast<DISPID>(p) || (id == DISPID_PROPERTYPUT && p + 1 == count)) {
                source = k;
            }
        }
        if (source == call.cArgs && positional + call.cNamedArgs < call.cArgs) {
            source = call.cArgs - 1 - positional++;
        }
        if (source == call.cArgs) return DISP_E_BADPARAMCOUNT;

        const VARTYPE type = params[p];
        VARIANT& arg = args_[source];
        if (arg.vt == type) continue;
        VARIANT* value = Own();
        HRESULT hr;
        if (type == VT_VARIANT || type == (VT_BYREF | VT_VARIANT)) {
            hr = VariantCopy(value, &arg);
        } else {
            hr = VariantChangeType(value, &arg, 0, type & ~VT_BYREF);
        }
        if (FAILED(hr)) return Refuse(hr, source, argErr);
        if (type == VT_VARIANT) {
            continue;  // a VARIANT parameter takes any (valid) type as it is
        } else if (type == (VT_BYREF | VT_VARIANT)) {
            arg.vt = type;
            arg.pvarVal = value;
        } else if (type & VT_BYREF) {
            arg.vt = type;
            arg.byref = &value->llVal;  // where a VARIANT holds its value
        } else {
            arg = *value;
        }
    }
    return S_OK;
}

}  // namespace korvid::com
