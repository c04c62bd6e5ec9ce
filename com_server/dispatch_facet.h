// The IDispatch of one interface of one of Korvid's COM objects, answered
// from the interface's type information in the DLL's type libraries, and the
// object's ISupportErrorInfo (com_server/facet.h: the facets' plumbing).
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>

#include "automation/argument_shape.h"
#include "com_server/facet.h"
#include "com_server/type_library.h"

namespace korvid::com {

// The type information of the interface `*Iid` in the DLL's type libraries.
template <const IID* Iid>
ITypeInfo* TypeInfoFor() {
    return TypeInfoOf(*Iid);
}

// One interface `Interface` (IID `*Iid`) of the object `Outer`, whose logic is
// a `LogicT` (Outer::Logic()).
template <typename Outer, typename LogicT, typename Interface, const IID* Iid>
class DispatchFacet : public TypedFacet<Outer, Interface, &TypeInfoFor<Iid>> {
public:
    explicit DispatchFacet(Outer* outer) : TypedFacet<Outer, Interface, &TypeInfoFor<Iid>>(outer) {}

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override {
        // "Reserved for future use. Must be IID_NULL."
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        return InvokeThrough(*Iid, static_cast<Interface*>(this), id, flags, params, result, excep,
                             argErr);
    }

protected:
    LogicT& Logic() { return this->owner_->Logic(); }

    // Hands the call to the logic's refusal (RefuseArgument: traced, raised
    // as the class's invalid-argument error) when an argument's shape is
    // refused. Through KORVID_SHAPES(Operation, every parameter in order).
    template <typename... Args>
    void CheckShapes(std::wstring_view operation, std::wstring_view names, const Args&... args) {
        if (auto refused = FirstMisshapen(names, args...)) {
            Logic().RefuseArgument(InterfaceName(*Iid), operation, *refused);
        }
    }
};

#define KORVID_SHAPES(operation, ...) CheckShapes(L"" #operation, L"" #__VA_ARGS__, __VA_ARGS__)

// ISupportErrorInfo of the object `Outer`, which says which of its interfaces
// set error information (Outer::SupportsErrorInfo).
template <typename Outer>
class ErrorSupport final : public Delegating<Outer, ISupportErrorInfo> {
public:
    using Delegating<Outer, ISupportErrorInfo>::Delegating;
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return this->owner_->SupportsErrorInfo(iid) ? S_OK : S_FALSE;
    }
};

}  // namespace korvid::com
