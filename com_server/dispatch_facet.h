// The IUnknown and IDispatch of one interface of one of our COM objects, and
// its ISupportErrorInfo: each object is one struct of small interface structs
// (facets) whose IUnknown is the object's own, and whose IDispatch is answered
// from the interface's type information in the DLL's type libraries.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>

#include "automation/argument_shape.h"
#include "com_server/type_library.h"

namespace korvid::com {

// One interface `Interface` (IID `*Iid`) of the object `Outer`, whose logic is
// a `LogicT` (Outer::Logic()).
template <typename Outer, typename LogicT, typename Interface, const IID* Iid>
class DispatchFacet : public Interface {
public:
    explicit DispatchFacet(Outer* outer) : outer_(outer) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        return outer_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return outer_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return outer_->Release(); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = TypeInfoOf(*Iid) ? 1 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        ITypeInfo* ti = TypeInfoOf(*Iid);
        if (!ti) return TYPE_E_ELEMENTNOTFOUND;
        ti->AddRef();
        *info = ti;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        ITypeInfo* ti = TypeInfoOf(*Iid);
        if (!ti) return E_UNEXPECTED;
        return DispGetIDsOfNames(ti, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override {
        // "Reserved for future use. Must be IID_NULL."
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        return InvokeThrough(*Iid, static_cast<Interface*>(this), id, flags, params, result, excep,
                             argErr);
    }

protected:
    LogicT& Logic() { return outer_->Logic(); }

    // Hands the call to the logic's refusal (RefuseArgument: traced, raised
    // as the class's invalid-argument error) when an argument's shape is
    // refused. Through KORVID_SHAPES(Operation, every parameter in order).
    template <typename... Args>
    void CheckShapes(std::wstring_view operation, std::wstring_view names, const Args&... args) {
        if (auto refused = FirstMisshapen(names, args...)) {
            Logic().RefuseArgument(InterfaceName(*Iid), operation, *refused);
        }
    }

    Outer* outer_;
};

#define KORVID_SHAPES(operation, ...) CheckShapes(L"" #operation, L"" #__VA_ARGS__, __VA_ARGS__)

// ISupportErrorInfo of the object `Outer`, which says which of its interfaces
// set error information (Outer::SupportsErrorInfo).
template <typename Outer>
class ErrorSupport final : public ISupportErrorInfo {
public:
    explicit ErrorSupport(Outer* outer) : outer_(outer) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        return outer_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return outer_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return outer_->Release(); }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return outer_->SupportsErrorInfo(iid) ? S_OK : S_FALSE;
    }

private:
    Outer* outer_;
};

}  // namespace korvid::com
