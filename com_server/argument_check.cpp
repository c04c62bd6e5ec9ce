#include "com_server/argument_check.h"

#include "automation/argument_shape.h"

namespace korvid::com {

namespace {

// Whether a VARIANT of type `vt` can be copied: a copy of one of that type
// without a value answers, at no cost whatever the argument holds.
HRESULT CopyableType(VARTYPE vt) {
    if ((vt & VT_TYPEMASK) == VT_RECORD) return S_OK;  // its copy needs its record information
    VARIANT shell{};
    shell.vt = vt;
    VARIANT copy;
    VariantInit(&copy);
    const HRESULT hr = VariantCopy(&copy, &shell);
    VariantClear(&copy);
    return hr;
}

DISPID kPropertyPut = DISPID_PROPERTYPUT;

HRESULT Refuse(HRESULT hr, UINT index, UINT* argErr) {
    if (argErr) *argErr = index;
    return hr;
}

// A failed conversion as IDispatch::Invoke reports it: a value too large, a
// type no VARIANT may hold, or else one that does not coerce.
HRESULT ConversionFailure(HRESULT hr) {
    return hr == DISP_E_OVERFLOW || hr == DISP_E_BADVARTYPE ? hr : DISP_E_TYPEMISMATCH;
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

HRESULT ReadyArguments::Prepare(const std::vector<VARTYPE>& params, bool put,
                                const DISPPARAMS& call, UINT* argErr) {
    const UINT count = static_cast<UINT>(params.size());
    if (call.cNamedArgs > call.cArgs || (call.cArgs && !call.rgvarg) ||
        (call.cNamedArgs && !call.rgdispidNamedArgs)) {
        return E_INVALIDARG;
    }
    // The value of a put comes first, named DISPID_PROPERTYPUT; a method has
    // no such parameter.
    if (put && call.cNamedArgs && call.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
        return Refuse(DISP_E_PARAMNOTFOUND, 0, argErr);
    }
    for (UINT k = 0; k < call.cNamedArgs; ++k) {
        const DISPID id = call.rgdispidNamedArgs[k];
        const bool names =
            (id >= 0 && static_cast<UINT>(id) < count) || (id == DISPID_PROPERTYPUT && put);
        if (!names) return Refuse(DISP_E_PARAMNOTFOUND, k, argErr);
    }
    args_.assign(call.rgvarg, call.rgvarg + call.cArgs);
    ready_ = call;
    ready_.rgvarg = args_.data();
    std::vector<UINT> sources(count);  // the argument of each parameter
    UINT positional = 0;
    for (UINT p = 0; p < count; ++p) {
        // A named argument for the parameter, else the next one in order
        // (rgvarg holds them last first, after the named ones).
        UINT source = call.cArgs;
        for (UINT k = 0; k < call.cNamedArgs && source == call.cArgs; ++k) {
            const DISPID id = call.rgdispidNamedArgs[k];
            const bool value = id == DISPID_PROPERTYPUT && put && p + 1 == count;
            if (id == static_cast<DISPID>(p) || value) source = k;
        }
        if (source == call.cArgs && positional + call.cNamedArgs < call.cArgs) {
            source = call.cArgs - 1 - positional++;
        }
        if (source == call.cArgs) return DISP_E_BADPARAMCOUNT;
        sources[p] = source;

        const VARTYPE type = params[p];
        VARIANT& arg = args_[source];
        // Nothing copies or converts an argument whose shape lies (a text
        // that is not a BSTR, an array descriptor that lies).
        if (VariantProblem(arg)) return Refuse(DISP_E_TYPEMISMATCH, source, argErr);
        if (type == VT_VARIANT) {
            // Taken as it is (the machinery copies it).
            const HRESULT hr = CopyableType(arg.vt);
            if (FAILED(hr)) return Refuse(ConversionFailure(hr), source, argErr);
            continue;
        }
        if (arg.vt == type) continue;
        if (arg.vt == (VT_BYREF | VT_VARIANT) && arg.pvarVal && arg.pvarVal->vt == type &&
            !(type & VT_BYREF)) {
            // A script's variable of the parameter's type: its value is
            // borrowed (the machinery copies a by-value argument), not copied.
            arg = *arg.pvarVal;
            continue;
        }
        VARIANT* value = Own();
        const HRESULT hr = type == (VT_BYREF | VT_VARIANT)
                               ? VariantCopy(value, &arg)
                               : VariantChangeType(value, &arg, 0, type & ~VT_BYREF);
        if (FAILED(hr)) return Refuse(ConversionFailure(hr), source, argErr);
        if (type == (VT_BYREF | VT_VARIANT)) {
            arg.vt = type;
            arg.pvarVal = value;
        } else if (type & VT_BYREF) {
            arg.vt = type;
            arg.byref = &value->llVal;  // where a VARIANT holds its value
        } else {
            arg = *value;
        }
    }
    // Named arguments go to their places in order: after the method, Wine's
    // ITypeInfo::Invoke writes an [in, out] parameter back to the argument at
    // the parameter's place in order, named or not, and so frees a caller's
    // value there. The value of a put keeps its name, in the first place.
    if (call.cNamedArgs > (put ? 1u : 0u)) {
        std::vector<VARIANT> ordered(count);
        for (UINT p = 0; p < count; ++p) ordered[count - 1 - p] = args_[sources[p]];
        args_ = std::move(ordered);
        ready_.rgvarg = args_.data();
        ready_.cArgs = count;
        ready_.cNamedArgs = put ? 1 : 0;
        ready_.rgdispidNamedArgs = put ? &kPropertyPut : nullptr;
    }
    return S_OK;
}

}  // namespace korvid::com
