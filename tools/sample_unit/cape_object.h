// One base for every CAPE-OPEN object of the sample unit (the unit, its
// ports, their collections, its parameters): one reference count,
// identification, and the error interfaces answered from the one record that
// a failing operation leaves. Each interface is a small part of its object
// whose IUnknown goes to the object and whose IDispatch is answered from the
// type library embedded in the DLL.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <optional>
#include <string>
#include <utility>

#include "CapeOpenUnit_h.h"
#include "com_server/facet.h"

namespace korvid::sample_unit {

// The type information of an interface of the embedded type library, or nullptr.
ITypeInfo* TypeInfoOf(REFIID iid);

// The CAPE-OPEN errors the sample unit raises: each an error interface with its HRESULT.
enum class CapeErrorKind {
    Unknown,
    InvalidArgument,
    OutOfBounds,
    NoImpl,
    FailedInitialisation,
    BadInvOrder,
};

// What a failing operation throws; Run() records it.
struct CapeError {
    CapeErrorKind kind;
    std::wstring description;
};
[[noreturn]] void Fail(CapeErrorKind kind, std::wstring description);

// Thrown by an operation that fails the way a careless component does: a
// plain E_FAIL, no error information of its own (the bare-error fault).
struct BareFailure {};

class CapeObject;

// The type information of the interface `Interface` in the embedded type library.
template <typename Interface>
ITypeInfo* TypeInfoOfPart() {
    return TypeInfoOf(__uuidof(Interface));
}

// IUnknown and IDispatch of one interface of a CapeObject.
template <typename Interface>
class Part : public com::TypedFacet<CapeObject, Interface, &TypeInfoOfPart<Interface>> {
    using Base = com::TypedFacet<CapeObject, Interface, &TypeInfoOfPart<Interface>>;

public:
    Part(CapeObject* owner, const wchar_t* name) : Base(owner), name_(name) {}

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        ITypeInfo* ti = TypeInfoOf(__uuidof(Interface));
        if (!ti) return E_UNEXPECTED;
        const HRESULT hr =
            DispInvoke(static_cast<Interface*>(this), ti, id, flags, params, result, excep, argErr);
        // Wine's machinery copies the result out of a failed method too.
        if (FAILED(hr) && result) VariantClear(result);
        return hr;
    }

protected:
    // Runs an operation of this interface (see CapeObject::Run).
    template <typename Body>
    HRESULT Run(const wchar_t* operation, Body&& body);
    // The same for an operation with an [out] result, cleared first.
    template <typename T, typename Body>
    HRESULT Out(const wchar_t* operation, T* out, Body&& body) {
        if (!out) return E_POINTER;
        *out = T{};
        return Run(operation, [&] { *out = body(); });
    }

    using Base::owner_;
    const wchar_t* name_;
};

class CapeObject {
public:
    CapeObject(const CapeObject&) = delete;
    CapeObject& operator=(const CapeObject&) = delete;

    HRESULT QueryInterface(REFIID iid, void** out);
    ULONG AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG Release();

    const std::wstring& Name() const { return name_; }
    const std::wstring& Description() const { return description_; }
    // The object's default interface: its IDispatch and its identity.
    virtual IDispatch* Default() = 0;

    // Runs operation `operation` of interface `iid` (named `interfaceName`):
    // a CapeError thrown by `body` is recorded as the object's error (the
    // error interfaces answer it) and returned as its HRESULT with IErrorInfo.
    template <typename Body>
    HRESULT Run(REFIID iid, const wchar_t* interfaceName, const wchar_t* operation, Body&& body) {
        try {
            body();
            return S_OK;
        } catch (const CapeError& error) {
            return Record(iid, interfaceName, operation, error);
        } catch (const BareFailure&) {
            // Whatever error information is on the thread stays there.
            error_.reset();
            return E_FAIL;
        } catch (const std::bad_alloc&) {
            return Record(iid, interfaceName, operation,
                          {CapeErrorKind::Unknown, L"Out of memory."});
        }
    }

protected:
    // False: the object answers no ISupportErrorInfo (the bare-error fault).
    bool supportsErrorInfo_ = true;
    // `scope`: where the object sits, packages separated by "::".
    CapeObject(std::wstring name, std::wstring description, const wchar_t* scope);
    virtual ~CapeObject();
    // The object's own interfaces besides those of every CAPE-OPEN object.
    virtual IUnknown* Find(REFIID iid) = 0;
    // What ICapeIdentification answers from now on.
    void Rename(std::wstring name, std::wstring description) {
        name_ = std::move(name);
        description_ = std::move(description);
    }

private:
    struct ErrorRecord {
        HRESULT hr;
        const wchar_t* name;
        std::wstring description, interfaceName, operation;
    };
    HRESULT Record(REFIID iid, const wchar_t* interfaceName, const wchar_t* operation,
                   const CapeError& error);

    // ICapeIdentification, the error interfaces and ISupportErrorInfo.
    struct CommonParts;
    friend struct CommonParts;

    LONG refs_ = 1;
    std::wstring name_, description_;
    const wchar_t* scope_;
    std::optional<ErrorRecord> error_;
    CommonParts* common_;
};

template <typename Interface>
template <typename Body>
HRESULT Part<Interface>::Run(const wchar_t* operation, Body&& body) {
    return owner_->Run(__uuidof(Interface), name_, operation, std::forward<Body>(body));
}

// A BSTR result: allocated, or the error that says memory ran out.
BSTR AllocText(const std::wstring& text);
// Replaces an [in, out] BSTR's text.
void SetText(BSTR* inOut, const std::wstring& text);

}  // namespace korvid::sample_unit
