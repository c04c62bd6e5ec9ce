// What the two classes' COM objects share: the table of their interfaces
// (faces), QueryInterface and ISupportErrorInfo over it, the default
// IDispatch that answers every face's names, and the creation of an object.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <array>
#include <cstddef>

#include "com_server/com_call.h"
#include "com_server/dispatch_facet.h"
#include "com_server/server_lock.h"
#include "com_server/type_library.h"
#include "component_definition/trace_report.h"

namespace korvid::com {

// One interface of an object with its IDispatch. Face 0 of an object's table
// is its default interface.
struct Face {
    const IID* iid;
    IDispatch* dispatch;
};

// DISPIDs under which the default IDispatch also answers the names of the
// other faces: face k (k >= 1) at k * 1000 + its own DISPID, out of the range
// of the default interface's own.
inline constexpr DISPID kFaceDispidStep = 1000;

// The face of `faces` whose IID is `iid`, or nullptr.
template <size_t N>
IDispatch* FaceOf(const std::array<Face, N>& faces, REFIID iid) {
    for (const Face& face : faces) {
        if (IsEqualIID(iid, *face.iid)) return face.dispatch;
    }
    return nullptr;
}

// The default interface of the object `Outer`, whose IDispatch answers the
// names and DISPIDs of every face of Outer::Faces().
template <typename Outer, typename LogicT, typename Interface, const IID* Iid>
class DefaultFacet : public DispatchFacet<Outer, LogicT, Interface, Iid> {
    using Base = DispatchFacet<Outer, LogicT, Interface, Iid>;

public:
    explicit DefaultFacet(Outer* outer) : Base(outer) {}

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        const HRESULT own = Base::GetIDsOfNames(riid, names, count, lcid, ids);
        if (own != DISP_E_UNKNOWNNAME) return own;
        const auto faces = this->owner_->Faces();
        for (size_t k = 1; k < faces.size(); ++k) {
            ITypeInfo* ti = TypeInfoOf(*faces[k].iid);
            if (!ti) continue;
            const HRESULT found = DispGetIDsOfNames(ti, names, count, ids);
            if (found != DISP_E_UNKNOWNNAME || ids[0] != DISPID_UNKNOWN) {
                if (ids[0] != DISPID_UNKNOWN) ids[0] += static_cast<DISPID>(k) * kFaceDispidStep;
                return found;
            }
        }
        return own;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                     UINT* argErr) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        const auto faces = this->owner_->Faces();
        const DISPID k = id / kFaceDispidStep;
        if (id > kFaceDispidStep && k < static_cast<DISPID>(faces.size()) &&
            id % kFaceDispidStep != 0) {
            return InvokeThrough(*faces[k].iid, faces[k].dispatch, id % kFaceDispidStep, flags,
                                 params, result, excep, argErr);
        }
        return Base::Invoke(id, riid, lcid, flags, params, result, excep, argErr);
    }
};

// One COM object of facets, `Derived`: one reference count, QueryInterface
// over its faces (Derived::Faces(), whose face 0 also answers IUnknown and
// IDispatch) and over Derived::Private(iid) (interfaces no type library
// declares), and ISupportErrorInfo for every face.
template <typename Derived>
class FacetedObject {
public:
    HRESULT QueryInterface(REFIID iid, void** out) {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *out = DefaultDispatch();
        } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
            *out = static_cast<ISupportErrorInfo*>(&errors_);
        } else if (!(*out = FaceOf(Self().Faces(), iid)) && !(*out = Self().Private(iid))) {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG Release() {
        const LONG refs = InterlockedDecrement(&refs_);
        if (refs == 0) {
            // The release runs the shutdown, which may close the report:
            // its lines go first.
            component_definition::TraceScope trace;
            delete &Self();
        }
        return static_cast<ULONG>(refs);
    }
    // The interfaces whose failures set error information: all of its own.
    bool SupportsErrorInfo(REFIID iid) { return FaceOf(Self().Faces(), iid) != nullptr; }
    IDispatch* DefaultDispatch() { return Self().Faces()[0].dispatch; }

protected:
    FacetedObject() { ObjectCreated(); }
    ~FacetedObject() { ObjectDestroyed(); }
    // The object's interfaces that no type library declares: none.
    void* Private(REFIID) { return nullptr; }

private:
    Derived& Self() { return static_cast<Derived&>(*this); }

    LONG refs_ = 1;
    ErrorSupport<FacetedObject> errors_{this};
};

// A new `Made` started with `start(object)`, as its default IDispatch; the
// start-up's error is raised, and no object remains alive then.
template <typename Made, typename Start>
IDispatch* NewObject(Start&& start) {
    auto* object = new Made();
    try {
        start(*object);
    } catch (...) {
        object->Release();
        throw;
    }
    return object->DefaultDispatch();
}

// The interface `iid` of a new `Made` started with `start(object)`; the
// start-up's failure comes back as its HRESULT with IErrorInfo set (on
// behalf of the interface `defaultIid`).
template <typename Made, typename Start>
HRESULT CreateObject(REFIID defaultIid, REFIID iid, void** result, Start&& start) {
    if (!result) return E_POINTER;
    *result = nullptr;
    IDispatch* object = nullptr;
    HRESULT hr = Run(defaultIid, [&] { object = NewObject<Made>(start); });
    if (FAILED(hr)) return hr;
    hr = object->QueryInterface(iid, result);
    object->Release();
    return hr;
}

}  // namespace korvid::com
