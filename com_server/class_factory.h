// The class factories of an in-process server and its DllGetClassObject.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "com_server/server_lock.h"

namespace korvid::com {

// The class factory of one class: `create(iid, out)` makes one of its objects
// and hands out its interface `iid`; aggregation is refused. The factory is
// static: its references keep the server as locked as LockServer does.
class ClassFactory final : public IClassFactory {
public:
    using Create = HRESULT (*)(REFIID iid, void** out);
    explicit ClassFactory(Create create) : create_(create) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        com::LockServer(true);
        return 2;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        com::LockServer(false);
        return 1;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        com::LockServer(lock != FALSE);
        return S_OK;
    }

private:
    Create create_;
};

// A class the server makes, with its factory.
struct ServedClass {
    const CLSID* clsid;
    ClassFactory* factory;
};

// DllGetClassObject over the server's classes.
inline HRESULT GetClassObject(std::initializer_list<ServedClass> classes, REFCLSID clsid,
                              REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const ServedClass& served : classes) {
        if (IsEqualCLSID(clsid, *served.clsid)) return served.factory->QueryInterface(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace korvid::com
