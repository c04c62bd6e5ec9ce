// The arguments of a call through IDispatch, made ready for the automation
// machinery: each converted to its parameter's type beforehand. Wine's
// ITypeInfo::Invoke converts them one by one into copies of its own, and
// leaks those copies (BSTRs, arrays, references to objects) when a
// conversion or the method fails; handed arguments of the right types, it
// converts nothing and passes by-reference ones through.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <deque>
#include <vector>

namespace korvid::com {

// The type of a parameter as a VARTYPE: VT_BYREF for a pointer, VT_ARRAY for
// a SAFEARRAY.
VARTYPE ParameterType(const TYPEDESC& type);

class ReadyArguments {
public:
    ReadyArguments() = default;
    ReadyArguments(const ReadyArguments&) = delete;
    ReadyArguments& operator=(const ReadyArguments&) = delete;
    ~ReadyArguments();

    // Assigns the arguments of `call` to the parameters (types `params`, the
    // [out, retval] one left out) as the automation machinery does (named
    // arguments by DISPID, for a `put` DISPID_PROPERTYPUT first and for the
    // last parameter, the others in order) and converts those not of their
    // parameter's type:
    // a by-value argument for a by-reference parameter then points to a
    // converted copy owned here, as a temporary the method may change.
    // On failure the HRESULT the call answers: DISP_E_PARAMNOTFOUND for a
    // named argument that names no parameter, DISP_E_BADPARAMCOUNT for a
    // parameter without argument, DISP_E_TYPEMISMATCH (DISP_E_OVERFLOW,
    // DISP_E_BADVARTYPE) for an argument that does not convert; `argErr`
    // (when given) names the argument by its index in rgvarg, as Windows does.
    HRESULT Prepare(const std::vector<VARTYPE>& params, bool put, const DISPPARAMS& call,
                    UINT* argErr);

    // The call with the converted arguments; valid while this object lives.
    DISPPARAMS* Params() { return &ready_; }

private:
    VARIANT* Own();

    std::vector<VARIANT> args_;  // rgvarg, converted ones replaced (not owned)
    std::deque<VARIANT> owned_;  // the converted values
    DISPPARAMS ready_{};
};

}  // namespace korvid::com
