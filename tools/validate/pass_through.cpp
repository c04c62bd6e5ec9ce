#include "tools/validate/pass_through_core.h"

#include <algorithm>
#include <new>
#include <tuple>
#include <utility>

#include "Korvid_h.h"

namespace korvid::validate {

namespace pass {

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

std::wstring Text(BSTR text) {
    const com::TextShape shape = com::ReadText(text);
    if (!shape.problem.empty()) return std::wstring(shape.shown);
    return text ? std::wstring(text, SysStringLen(text)) : L"";
}

namespace {

bool SameName(const std::wstring& a, const wchar_t* b) { return _wcsicmp(a.c_str(), b) == 0; }

bool IsCloning(const std::wstring& operation) {
    return SameName(operation, L"Duplicate") || SameName(operation, L"CreateMaterialObject") ||
           SameName(operation, L"CreateMaterial");
}

// The first argument of an Invoke when it is a text (the property of
// GetProp, SetProp and the 1.1 Get/Set...Prop, the flash type of 0.9's
// CalcEquilibrium).
std::wstring FirstText(const DISPPARAMS* params) {
    if (!params || params->cArgs == 0 || !params->rgvarg) return {};
    const VARIANT& first = params->rgvarg[params->cArgs - 1];
    if (first.vt == VT_BSTR) return Text(first.bstrVal);
    if (first.vt == (VT_BSTR | VT_BYREF) && first.pbstrVal) return Text(*first.pbstrVal);
    return {};
}

// ISupportErrorInfo, answered whether or not the inner object answers it.
class SupportErrorInfo final : public ISupportErrorInfo, public FacetBase {
public:
    explicit SupportErrorInfo(PassThrough* outer) : outer_(outer) {}
    ~SupportErrorInfo() override {
        if (inner_) inner_->Release();
    }
    IUnknown* Unknown() override { return this; }
    bool Attach(IUnknown* inner) override {
        inner->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&inner_));
        return true;
    }
    void Detach() override {
        if (inner_) inner_->Release();
        inner_ = nullptr;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        return outer_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return outer_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return outer_->Release(); }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return inner_ ? inner_->InterfaceSupportsErrorInfo(iid) : S_FALSE;
    }

private:
    PassThrough* outer_;
    ISupportErrorInfo* inner_ = nullptr;
};

#define PASS(operation, detail, call) \
    outer_->Call(operation, Detail(detail), [&] { return inner_->call; })
// The same for a call with texts among its arguments, all of them given in
// order after it: a text that is not a BSTR is noted.
#define PASS_TEXTS(operation, detail, call, ...)                    \
    outer_->Call(operation, Detail(detail), [&] { return inner_->call; }, \
                 NotBstrPosition(__VA_ARGS__))

class Identification final : public Facet<ICapeIdentification> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE get_ComponentName(BSTR* name) override {
        return PASS(L"get ComponentName", L"", get_ComponentName(name));
    }
    HRESULT STDMETHODCALLTYPE put_ComponentName(BSTR name) override {
        return PASS_TEXTS(L"put ComponentName", name, put_ComponentName(name), name);
    }
    HRESULT STDMETHODCALLTYPE get_ComponentDescription(BSTR* desc) override {
        return PASS(L"get ComponentDescription", L"", get_ComponentDescription(desc));
    }
    HRESULT STDMETHODCALLTYPE put_ComponentDescription(BSTR desc) override {
        return PASS_TEXTS(L"put ComponentDescription", L"", put_ComponentDescription(desc), desc);
    }
};

class Material final : public Facet<ICapeThermoMaterialObject> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE get_ComponentIds(VARIANT* ids) override {
        return PASS(L"get ComponentIds", L"", get_ComponentIds(ids));
    }
    HRESULT STDMETHODCALLTYPE get_PhaseIds(VARIANT* ids) override {
        return PASS(L"get PhaseIds", L"", get_PhaseIds(ids));
    }
    HRESULT STDMETHODCALLTYPE GetUniversalConstant(VARIANT props, VARIANT* values) override {
        return PASS(L"GetUniversalConstant", L"", GetUniversalConstant(props, values));
    }
    HRESULT STDMETHODCALLTYPE GetComponentConstant(VARIANT props, VARIANT ids,
                                                   VARIANT* values) override {
        return PASS(L"GetComponentConstant", L"", GetComponentConstant(props, ids, values));
    }
    HRESULT STDMETHODCALLTYPE CalcProp(VARIANT props, VARIANT phases, BSTR calcType) override {
        return PASS_TEXTS(L"CalcProp", L"", CalcProp(props, phases, calcType), props, phases,
                          calcType);
    }
    HRESULT STDMETHODCALLTYPE GetProp(BSTR property, BSTR phase, VARIANT ids, BSTR calcType,
                                      BSTR basis, VARIANT* results) override {
        return PASS_TEXTS(L"GetProp", property, GetProp(property, phase, ids, calcType, basis, results),
                          property, phase, ids, calcType, basis);
    }
    HRESULT STDMETHODCALLTYPE SetProp(BSTR property, BSTR phase, VARIANT ids, BSTR calcType,
                                      BSTR basis, VARIANT values) override {
        return PASS_TEXTS(L"SetProp", property, SetProp(property, phase, ids, calcType, basis, values),
                          property, phase, ids, calcType, basis);
    }
    HRESULT STDMETHODCALLTYPE CalcEquilibrium(BSTR flashType, VARIANT props) override {
        return PASS_TEXTS(L"CalcEquilibrium", flashType, CalcEquilibrium(flashType, props), flashType);
    }
    HRESULT STDMETHODCALLTYPE SetIndependentVar(VARIANT names, VARIANT values) override {
        return PASS(L"SetIndependentVar", L"", SetIndependentVar(names, values));
    }
    HRESULT STDMETHODCALLTYPE GetIndependentVar(VARIANT names, VARIANT* values) override {
        return PASS(L"GetIndependentVar", L"", GetIndependentVar(names, values));
    }
    HRESULT STDMETHODCALLTYPE PropCheck(VARIANT props, VARIANT* valid) override {
        return PASS(L"PropCheck", L"", PropCheck(props, valid));
    }
    HRESULT STDMETHODCALLTYPE AvailableProps(VARIANT* props) override {
        return PASS(L"AvailableProps", L"", AvailableProps(props));
    }
    HRESULT STDMETHODCALLTYPE RemoveResults(VARIANT props) override {
        return PASS(L"RemoveResults", L"", RemoveResults(props));
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
        return PASS(L"ValidityCheck", L"", ValidityCheck(props, reliabilities));
    }
    HRESULT STDMETHODCALLTYPE GetPropList(VARIANT* props) override {
        return PASS(L"GetPropList", L"", GetPropList(props));
    }
    HRESULT STDMETHODCALLTYPE GetNumComponents(LONG* count) override {
        return PASS(L"GetNumComponents", L"", GetNumComponents(count));
    }
};

#undef PASS

}  // namespace

PassThrough::PassThrough(ObjectRecord& record, CallRecord& all, FacetBuilder build,
                         ULONG references)
    : references_(references), record_(record), all_(all), build_(build) {
    record_.references = references;
    all_.live_.push_back(this);
}

PassThrough::~PassThrough() {
    record_.references = 0;  // also when a copy could not be wrapped
    all_.live_.erase(std::remove(all_.live_.begin(), all_.live_.end(), this), all_.live_.end());
}

bool PassThrough::Add(std::unique_ptr<FacetBase> facet, const IID& iid, IUnknown* inner,
                      bool required) {
    if (!facet->Attach(inner)) return !required;
    facets_.emplace_back(&iid, std::move(facet));
    return true;
}

IDispatch* PassThrough::Dispatch() {
    return facets_.empty() ? nullptr : static_cast<IDispatch*>(facets_.front().second->Unknown());
}

bool PassThrough::Answers(const void* pointer) const {
    for (const auto& facet : facets_)
        if (facet.second->Unknown() == pointer) return true;
    return false;
}

ULONG PassThrough::Release() {
    if (references_ == 0) {
        record_.overReleased.push_back(all_.callUnderWay ? all_.callUnderWay() : L"");
        return 0;
    }
    const ULONG count = record_.references = --references_;
    if (count == 0 && !held_) {
        delete this;
    } else if (count == 0 && record_.copy && !released_) {
        for (const auto& facet : facets_) facet.second->Detach();
        innerDispatch_ = nullptr;
        released_ = true;
    }
    return count;
}

void PassThrough::LetGo() {
    held_ = false;
    if (references_ == 0) delete this;
}

HRESULT PassThrough::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown) *out = Dispatch();
    for (const auto& [answered, facet] : facets_)
        if (iid == *answered) *out = facet->Unknown();
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

IDispatch* PassThrough::WrapCopy(IUnknown* made, const std::wstring& label) {
    return Wrap(made, all_.Add(label, record_.port, true), all_, build_, 1);
}

std::pair<IDispatch*, std::wstring> PassThrough::Unwrap(IDispatch* object) const {
    for (PassThrough* live : all_.live_)
        if (object && live->Answers(object)) return {live->innerDispatch_, live->record_.label};
    return {object, object ? L"another object" : L"no object"};
}

HRESULT PassThrough::Invoke(IDispatch* inner, const std::wstring& name, DISPID id, REFIID iid,
                            LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* excep, UINT* argErr) {
    if (released_) return Released(L"Invoke " + name, L"");
    const bool cloning = IsCloning(name);
    const std::wstring label = cloning ? all_.NextCopyLabel(record_.port) : L"";
    if (cloning && all_.beforeCopy) all_.beforeCopy(label);
    std::wstring detail = cloning ? L"" : FirstText(params);
    for (UINT k = 0; params && params->rgvarg && k < params->cArgs; ++k) {
        const VARIANT& arg = params->rgvarg[params->cArgs - 1 - k];
        const bool text = arg.vt == VT_BSTR || (arg.vt == (VT_BSTR | VT_BYREF) && arg.pbstrVal);
        if (text && IsNotBstr(arg.vt == VT_BSTR ? arg.bstrVal : *arg.pbstrVal))
            NotBstr(L"Invoke " + name, static_cast<int>(k + 1));
    }
    // CopyFromMaterial's source goes to the inner object as the object it
    // stands for, as through the vtable.
    IDispatch* given = nullptr;
    IDispatch** slot = nullptr;
    if (SameName(name, L"CopyFromMaterial") && params && params->cArgs == 1 && params->rgvarg) {
        VARIANT& source = params->rgvarg[0];
        slot = source.vt == VT_DISPATCH                                    ? &source.pdispVal
               : source.vt == (VT_DISPATCH | VT_BYREF) && source.ppdispVal ? source.ppdispVal
                                                                           : nullptr;
    }
    if (slot) {
        given = *slot;
        std::tie(*slot, detail) = Unwrap(given);
    }
    HRESULT hr = [&] {
        const KorvidCallScope underWay(record_.label, name.c_str(), detail.c_str());
        return inner->Invoke(id, iid, lcid, flags, params, result, excep, argErr);
    }();
    if (slot) *slot = given;
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
        IDispatch* wrapped = WrapCopy(result->pdispVal, label);
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

IDispatch* Wrap(IUnknown* inner, ObjectRecord& record, CallRecord& all, FacetBuilder build,
                ULONG references) {
    PassThrough* made = nullptr;
    try {
        made = new PassThrough(record, all, build, references);
        if (!build(*made, inner) ||
            !AddFacet<SupportErrorInfo, ISupportErrorInfo>(*made, inner, true)) {
            delete made;
            return nullptr;
        }
        // Held by the IDispatch facet while the pass-through lives.
        inner->QueryInterface(IID_PPV_ARGS(&made->innerDispatch_));
        made->innerDispatch_->Release();
    } catch (const std::bad_alloc&) {
        delete made;
        return nullptr;
    }
    return made->Dispatch();
}

bool AddIdentification(PassThrough& made, IUnknown* inner, bool required) {
    return AddFacet<Identification, ICapeIdentification>(made, inner, required);
}

namespace {

bool Build09(PassThrough& made, IUnknown* inner) {
    return AddFacet<Facet<IDispatch>, IDispatch>(made, inner, true) &&
           AddIdentification(made, inner, true) &&
           AddFacet<Material, ICapeThermoMaterialObject>(made, inner, true);
}

}  // namespace

}  // namespace pass

ObjectRecord& CallRecord::Add(std::wstring label, std::wstring port, bool copy) {
    objects_.push_back({std::move(label), std::move(port), copy, {}, 0, {}});
    return objects_.back();
}

ObjectRecord* CallRecord::Find(const void* pointer) const {
    for (pass::PassThrough* live : live_)
        if (pointer && live->Answers(pointer)) return &live->Object();
    return nullptr;
}

void CallRecord::HandBack(const void* pointer) {
    for (pass::PassThrough* live : live_)
        if (pointer && live->Answers(pointer)) return static_cast<void>(live->Release());
}

size_t CallRecord::LetGo() {
    // Each LetGo may free its pass-through, which leaves live_.
    for (pass::PassThrough* live : std::vector<pass::PassThrough*>(live_)) live->LetGo();
    return live_.size();
}

std::wstring CallRecord::NextCopyLabel(const std::wstring& port) const {
    int copies = 0;
    for (const ObjectRecord& object : objects_) copies += object.copy && object.port == port;
    return port + L" copy " + std::to_wstring(copies + 1);
}

IDispatch* WrapMaterialObject(IUnknown* inner, ObjectRecord& record, CallRecord& all) {
    return pass::Wrap(inner, record, all, pass::Build09, 0);
}

bool ChangesObject(const std::wstring& operation) {
    for (const wchar_t* name :
         {L"SetProp", L"CalcProp", L"CalcEquilibrium", L"SetIndependentVar", L"RemoveResults",
          L"SetOverallProp", L"SetSinglePhaseProp", L"SetTwoPhaseProp", L"SetPresentPhases",
          L"ClearAllProps", L"CopyFromMaterial", L"CalcSinglePhaseProp", L"CalcTwoPhaseProp"})
        if (pass::SameName(operation, name)) return true;
    return false;
}

}  // namespace korvid::validate
