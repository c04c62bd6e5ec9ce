// The plumbing of a COM object made of small interface structs (facets), one
// per interface, as both of Korvid's classes and the sample unit's objects
// are: a facet's IUnknown is its object's own, and the type information of
// its interface answers the type-information half of its IDispatch.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace korvid::com {

// The interface `Interface` of the object `Owner`, whose IUnknown is the
// owner's (Owner::QueryInterface, AddRef, Release).
template <typename Owner, typename Interface>
class Delegating : public Interface {
public:
    explicit Delegating(Owner* owner) : owner_(owner) {}
    Delegating(const Delegating&) = delete;
    Delegating& operator=(const Delegating&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        return owner_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_->Release(); }

protected:
    Owner* owner_;
};

// A dual interface `Interface` of the object `Owner`, whose type information
// `TypeInfo()` gives (nullptr when its library has none); Invoke is the
// facet's own.
template <typename Owner, typename Interface, ITypeInfo* (*TypeInfo)()>
class TypedFacet : public Delegating<Owner, Interface> {
public:
    using Delegating<Owner, Interface>::Delegating;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = TypeInfo() ? 1 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        ITypeInfo* ti = TypeInfo();
        if (!ti) return TYPE_E_ELEMENTNOTFOUND;
        ti->AddRef();
        *info = ti;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        ITypeInfo* ti = TypeInfo();
        return ti ? DispGetIDsOfNames(ti, names, count, ids) : E_UNEXPECTED;
    }
};

}  // namespace korvid::com
