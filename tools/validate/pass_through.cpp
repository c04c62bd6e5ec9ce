#include "tools/validate/pass_through.h"

#include <map>
#include <memory>
#include <new>
#include <utility>

#include "Korvid_h.h"

namespace korvid::validate {

namespace {

class PassThrough;

// The description of the error information a failed call left, which stays
// set for the unit to read.
std::wstring PeekErrorText() {
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info) return {};
    BSTR description = nullptr;
    info->GetDescription(&description);
    std::wstring text = description ? description : L"";
    SysFreeString(description);
    SetErrorInfo(0, info);
    info->Release();
    return text;
}

std::wstring Text(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : L""; }

bool SameName(const std::wstring& a, const wchar_t* b) { return _wcsicmp(a.c_str(), b) == 0; }

bool IsCloning(const std::wstring& operation) {
    return SameName(operation, L"Duplicate") || SameName(operation, L"CreateMaterialObject");
}

// The first argument of an Invoke when it is a text (the property of
// GetProp and SetProp, the flash type of CalcEquilibrium).
std::wstring FirstText(const DISPPARAMS* params) {
    if (!params || params->cArgs == 0 || !params->rgvarg) return {};
    const VARIANT& first = params->rgvarg[params->cArgs - 1];
    if (first.vt == VT_BSTR) return Text(first.bstrVal);
    if (first.vt == (VT_BSTR | VT_BYREF) && first.pbstrVal) return Text(*first.pbstrVal);
    return {};
}

// IUnknown and IDispatch of one interface of a PassThrough: the IDispatch
// members go to the same interface of the inner object.
template <typename Interface>
class Facet : public Interface {
public:
    explicit Facet(PassThrough* outer) : outer_(outer) {}
    Facet(const Facet&) = delete;
    Facet& operator=(const Facet&) = delete;
    ~Facet() {
        if (inner_) inner_->Release();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return inner_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
        return inner_->GetTypeInfo(index, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
        const HRESULT hr = inner_->GetIDsOfNames(iid, names, count, lcid, ids);
        if (SUCCEEDED(hr) && count > 0 && names && names[0] && ids) names_[ids[0]] = names[0];
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                     UINT* argErr) override;

    bool Attach(IUnknown* inner) {
        return SUCCEEDED(
            inner->QueryInterface(__uuidof(Interface), reinterpret_cast<void**>(&inner_)));
    }

protected:
    // The name a member was asked by, else the one the type information gives.
    std::wstring MemberName(DISPID id) {
        const auto known = names_.find(id);
        if (known != names_.end()) return known->second;
        ITypeInfo* info = nullptr;
        BSTR name = nullptr;
        if (SUCCEEDED(inner_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info)) && info) {
            info->GetDocumentation(id, &name, nullptr, nullptr, nullptr);
            info->Release();
        }
        std::wstring text = name ? Text(name) : L"DISPID " + std::to_wstring(id);
        SysFreeString(name);
        return names_[id] = text;
    }

    PassThrough* outer_;
    Interface* inner_ = nullptr;
    std::map<DISPID, std::wstring> names_;
};

class Identification;
class Material;

class SupportErrorInfo final : public ISupportErrorInfo {
public:
    explicit SupportErrorInfo(PassThrough* outer) : outer_(outer) {}
    ~SupportErrorInfo() {
        if (inner_) inner_->Release();
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return inner_ ? inner_->InterfaceSupportsErrorInfo(iid) : S_FALSE;
    }
    void Attach(IUnknown* inner) {
        inner->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&inner_));
    }

private:
    PassThrough* outer_;
    ISupportErrorInfo* inner_ = nullptr;
};

// The pass-through object: one reference count for all its interfaces, the
// record it writes to, and the inner object's interfaces (one per facet).
class PassThrough {
public:
    PassThrough(ObjectRecord& record, CallRecord& all);
    bool Attach(IUnknown* inner);

    HRESULT QueryInterface(REFIID iid, void** out);
    ULONG AddRef() {
        const ULONG count = static_cast<ULONG>(InterlockedIncrement(&references_));
        record_.references = count;
        return count;
    }
    ULONG Release() {
        const ULONG count = static_cast<ULONG>(InterlockedDecrement(&references_));
        record_.references = count;
        if (count == 0) delete this;
        return count;
    }
    IDispatch* Dispatch();

    // Forwards a call and records it with its outcome.
    template <typename Forward>
    HRESULT Call(const wchar_t* operation, BSTR detail, Forward&& forward) {
        const HRESULT hr = forward();
        Record(operation, Text(detail), hr, FAILED(hr) ? PeekErrorText() : L"");
        return hr;
    }

    // Forwards a call that makes a copy, and hands out the copy wrapped.
    template <typename Forward>
    HRESULT Clone(const wchar_t* operation, IDispatch** out, Forward&& forward) {
        const std::wstring label = all_.NextCopyLabel(record_.port);
        if (all_.beforeCopy) all_.beforeCopy(label);
        IDispatch* made = nullptr;
        HRESULT hr = forward(out ? &made : nullptr);
        const std::wstring error = FAILED(hr) ? PeekErrorText() : L"";
        if (SUCCEEDED(hr) && made) {
            IDispatch* wrapped =
                WrapMaterialObject(made, all_.Add(label, record_.port, true), all_);
            made->Release();
            made = wrapped;
            if (!wrapped) hr = E_OUTOFMEMORY;
        }
        if (out) *out = made;
        Record(operation, SUCCEEDED(hr) && made ? label : L"", hr, error);
        return hr;
    }

    HRESULT Invoke(IDispatch* inner, const std::wstring& name, DISPID id, REFIID iid, LCID lcid,
                   WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep, UINT* argErr);

private:
    ~PassThrough();  // where the facets' types are complete
    void Record(std::wstring operation, std::wstring detail, HRESULT hr, std::wstring error) {
        record_.calls.push_back({std::move(operation), std::move(detail), hr, std::move(error)});
    }

    LONG references_ = 1;
    ObjectRecord& record_;
    CallRecord& all_;
    std::unique_ptr<Facet<IDispatch>> dispatch_;
    std::unique_ptr<Identification> identification_;
    std::unique_ptr<Material> material_;
    std::unique_ptr<SupportErrorInfo> support_;
};

template <typename Interface>
HRESULT Facet<Interface>::QueryInterface(REFIID iid, void** out) {
    return outer_->QueryInterface(iid, out);
}
template <typename Interface>
ULONG Facet<Interface>::AddRef() {
    return outer_->AddRef();
}
template <typename Interface>
ULONG Facet<Interface>::Release() {
    return outer_->Release();
}
template <typename Interface>
HRESULT Facet<Interface>::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
    return outer_->Invoke(inner_, MemberName(id), id, iid, lcid, flags, params, result, excep,
                          argErr);
}

HRESULT SupportErrorInfo::QueryInterface(REFIID iid, void** out) {
    return outer_->QueryInterface(iid, out);
}
ULONG SupportErrorInfo::AddRef() { return outer_->AddRef(); }
ULONG SupportErrorInfo::Release() { return outer_->Release(); }

#define PASS(operation, detail, call) outer_->Call(operation, detail, [&] { return inner_->call; })

class Identification final : public Facet<ICapeIdentification> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE get_ComponentName(BSTR* name) override {
        return PASS(L"get ComponentName", nullptr, get_ComponentName(name));
    }
    HRESULT STDMETHODCALLTYPE put_ComponentName(BSTR name) override {
        return PASS(L"put ComponentName", name, put_ComponentName(name));
    }
    HRESULT STDMETHODCALLTYPE get_ComponentDescription(BSTR* desc) override {
        return PASS(L"get ComponentDescription", nullptr, get_ComponentDescription(desc));
    }
    HRESULT STDMETHODCALLTYPE put_ComponentDescription(BSTR desc) override {
        return PASS(L"put ComponentDescription", nullptr, put_ComponentDescription(desc));
    }
};

class Material final : public Facet<ICapeThermoMaterialObject> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE get_ComponentIds(VARIANT* ids) override {
        return PASS(L"get ComponentIds", nullptr, get_ComponentIds(ids));
    }
    HRESULT STDMETHODCALLTYPE get_PhaseIds(VARIANT* ids) override {
        return PASS(L"get PhaseIds", nullptr, get_PhaseIds(ids));
    }
    HRESULT STDMETHODCALLTYPE GetUniversalConstant(VARIANT props, VARIANT* values) override {
        return PASS(L"GetUniversalConstant", nullptr, GetUniversalConstant(props, values));
    }
    HRESULT STDMETHODCALLTYPE GetComponentConstant(VARIANT props, VARIANT ids,
                                                   VARIANT* values) override {
        return PASS(L"GetComponentConstant", nullptr, GetComponentConstant(props, ids, values));
    }
    HRESULT STDMETHODCALLTYPE CalcProp(VARIANT props, VARIANT phases, BSTR calcType) override {
        return PASS(L"CalcProp", nullptr, CalcProp(props, phases, calcType));
    }
    HRESULT STDMETHODCALLTYPE GetProp(BSTR property, BSTR phase, VARIANT ids, BSTR calcType,
                                      BSTR basis, VARIANT* results) override {
        return PASS(L"GetProp", property, GetProp(property, phase, ids, calcType, basis, results));
    }
    HRESULT STDMETHODCALLTYPE SetProp(BSTR property, BSTR phase, VARIANT ids, BSTR calcType,
                                      BSTR basis, VARIANT values) override {
        return PASS(L"SetProp", property, SetProp(property, phase, ids, calcType, basis, values));
    }
    HRESULT STDMETHODCALLTYPE CalcEquilibrium(BSTR flashType, VARIANT props) override {
        return PASS(L"CalcEquilibrium", flashType, CalcEquilibrium(flashType, props));
    }
    HRESULT STDMETHODCALLTYPE SetIndependentVar(VARIANT names, VARIANT values) override {
        return PASS(L"SetIndependentVar", nullptr, SetIndependentVar(names, values));
    }
    HRESULT STDMETHODCALLTYPE GetIndependentVar(VARIANT names, VARIANT* values) override {
        return PASS(L"GetIndependentVar", nullptr, GetIndependentVar(names, values));
    }
    HRESULT STDMETHODCALLTYPE PropCheck(VARIANT props, VARIANT* valid) override {
        return PASS(L"PropCheck", nullptr, PropCheck(props, valid));
    }
    HRESULT STDMETHODCALLTYPE AvailableProps(VARIANT* props) override {
        return PASS(L"AvailableProps", nullptr, AvailableProps(props));
    }
    HRESULT STDMETHODCALLTYPE RemoveResults(VARIANT props) override {
        return PASS(L"RemoveResults", nullptr, RemoveResults(props));
    }
    HRESULT STDMETHODCALLTYPE CreateMaterialObject(IDispatch** made) override {
        return outer_->Clone(L"CreateMaterialObject", made,
                             [&](IDispatch** out) { return inner_->CreateMaterialObject(out); });
    }
    HRESULT STDMETHODCALLTYPE Duplicate(IDispatch** clone) override {
        return outer_->Clone(L"Duplicate", clone,
                             [&](IDispatch** out) { return inner_->Duplicate(out); });
    }
    HRESULT STDMETHODCALLTYPE ValidityCheck(VARIANT props, VARIANT* reliabilities) override {
        return PASS(L"ValidityCheck", nullptr, ValidityCheck(props, reliabilities));
    }
    HRESULT STDMETHODCALLTYPE GetPropList(VARIANT* props) override {
        return PASS(L"GetPropList", nullptr, GetPropList(props));
    }
    HRESULT STDMETHODCALLTYPE GetNumComponents(LONG* count) override {
        return PASS(L"GetNumComponents", nullptr, GetNumComponents(count));
    }
};

#undef PASS

PassThrough::PassThrough(ObjectRecord& record, CallRecord& all)
    : record_(record),
      all_(all),
      dispatch_(new Facet<IDispatch>(this)),
      identification_(new Identification(this)),
      material_(new Material(this)),
      support_(new SupportErrorInfo(this)) {
    record_.references = 1;
}

PassThrough::~PassThrough() = default;

bool PassThrough::Attach(IUnknown* inner) {
    support_->Attach(inner);
    return dispatch_->Attach(inner) && identification_->Attach(inner) && material_->Attach(inner);
}

IDispatch* PassThrough::Dispatch() { return dispatch_.get(); }

HRESULT PassThrough::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *out = dispatch_.get();
    } else if (iid == IID_ICapeIdentification) {
        *out = identification_.get();
    } else if (iid == IID_ICapeThermoMaterialObject) {
        *out = material_.get();
    } else if (iid == IID_ISupportErrorInfo) {
        *out = support_.get();
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT PassThrough::Invoke(IDispatch* inner, const std::wstring& name, DISPID id, REFIID iid,
                            LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* excep, UINT* argErr) {
    const bool cloning = IsCloning(name);
    const std::wstring label = cloning ? all_.NextCopyLabel(record_.port) : L"";
    if (cloning && all_.beforeCopy) all_.beforeCopy(label);
    const std::wstring detail = cloning ? L"" : FirstText(params);
    HRESULT hr = inner->Invoke(id, iid, lcid, flags, params, result, excep, argErr);
    HRESULT outcome = hr;
    std::wstring error;
    if (hr == DISP_E_EXCEPTION && excep) {
        outcome = excep->scode ? excep->scode : hr;
        error = Text(excep->bstrDescription);
    } else if (FAILED(hr)) {
        error = PeekErrorText();
    }
    bool copied = false;
    if (cloning && SUCCEEDED(hr) && result && result->vt == VT_DISPATCH && result->pdispVal) {
        IDispatch* wrapped =
            WrapMaterialObject(result->pdispVal, all_.Add(label, record_.port, true), all_);
        VariantClear(result);
        if (wrapped) {
            result->vt = VT_DISPATCH;
            result->pdispVal = wrapped;
            copied = true;
        } else {
            hr = outcome = E_OUTOFMEMORY;
        }
    }
    Record(L"Invoke " + name, copied ? label : detail, outcome, error);
    return hr;
}

}  // namespace

ObjectRecord& CallRecord::Add(std::wstring label, std::wstring port, bool copy) {
    objects_.push_back({std::move(label), std::move(port), copy, {}, 0});
    return objects_.back();
}

std::wstring CallRecord::NextCopyLabel(const std::wstring& port) const {
    int copies = 0;
    for (const ObjectRecord& object : objects_) copies += object.copy && object.port == port;
    return port + L" copy " + std::to_wstring(copies + 1);
}

IDispatch* WrapMaterialObject(IUnknown* inner, ObjectRecord& record, CallRecord& all) {
    PassThrough* made = nullptr;
    try {
        made = new PassThrough(record, all);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (!made->Attach(inner)) {
        made->Release();
        return nullptr;
    }
    return made->Dispatch();
}

bool ChangesObject(const std::wstring& operation) {
    for (const wchar_t* name :
         {L"SetProp", L"CalcProp", L"CalcEquilibrium", L"SetIndependentVar", L"RemoveResults"})
        if (SameName(operation, name)) return true;
    return false;
}

}  // namespace korvid::validate
