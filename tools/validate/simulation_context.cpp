#include "tools/validate/simulation_context.h"

#include <cwchar>

#include "tools/validate/output.h"

namespace korvid::validate {

namespace {

// ICapeDiagnostic as published: a dual interface with two methods.
MIDL_INTERFACE("678C0A9D-0100-11D2-A67D-00105A42887F")
ICapeDiagnostic : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE PopUpMessage(BSTR message) = 0;
    virtual HRESULT STDMETHODCALLTYPE LogMessage(BSTR message) = 0;
};
constexpr IID kIidDiagnostic = {
    0x678C0A9D, 0x0100, 0x11D2, {0xA6, 0x7D, 0x00, 0x10, 0x5A, 0x42, 0x88, 0x7F}};
constexpr IID kIidSimulationContext = {
    0x678C0A9C, 0x0100, 0x11D2, {0xA6, 0x7D, 0x00, 0x10, 0x5A, 0x42, 0x88, 0x7F}};

// The host's simulation context: the unit's messages are printed; a pop-up
// is printed too, since nobody may be at the desk.
class Context final : public ICapeDiagnostic {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != kIidDiagnostic &&
            iid != kIidSimulationContext)
            return E_NOINTERFACE;
        *out = static_cast<ICapeDiagnostic*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG count = InterlockedDecrement(&references_);
        if (count == 0) delete this;
        return count;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        for (UINT k = 0; k < count; ++k) ids[k] = DISPID_UNKNOWN;
        if (_wcsicmp(names[0], L"PopUpMessage") == 0) ids[0] = 1;
        if (_wcsicmp(names[0], L"LogMessage") == 0) ids[0] = 2;
        return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT*, EXCEPINFO*, UINT* argErr) override {
        if (id != 1 && id != 2) return DISP_E_MEMBERNOTFOUND;
        if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        if (!params || params->cArgs != 1 || !params->rgvarg) return DISP_E_BADPARAMCOUNT;
        if (params->cNamedArgs) return DISP_E_NONAMEDARGS;
        VARIANT text;
        VariantInit(&text);
        if (FAILED(VariantChangeType(&text, &params->rgvarg[0], 0, VT_BSTR))) {
            if (argErr) *argErr = 0;
            return DISP_E_TYPEMISMATCH;
        }
        const HRESULT hr = id == 1 ? PopUpMessage(text.bstrVal) : LogMessage(text.bstrVal);
        VariantClear(&text);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE PopUpMessage(BSTR message) override {
        Line(L"unit's pop-up message: " + Quoted(message));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE LogMessage(BSTR message) override {
        Line(L"unit's log message: " + Quoted(message));
        return S_OK;
    }

private:
    ~Context() = default;
    LONG references_ = 1;
};

}  // namespace

IDispatch* NewSimulationContext() { return new Context(); }

}  // namespace korvid::validate
