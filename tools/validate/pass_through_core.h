// The machinery of a pass-through, whatever the material object's version:
// one reference count for all its interfaces (facets), QueryInterface over
// them, and the forwarding that records each call. pass_through.cpp builds
// the facets of a 0.9 object, pass_through11.cpp those of a 1.1 one.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "automation/argument_shape.h"
#include "tools/validate/korvid_call.h"
#include "tools/validate/pass_through.h"

namespace korvid::validate::pass {

class PassThrough;

// A text argument up to its first NUL, never read past it, whether or not
// it is the BSTR it should be (automation/argument_shape.h).
std::wstring Text(BSTR text);
// Whether an argument is a text that is not a BSTR (a literal).
inline bool IsNotBstr(BSTR text) { return !com::ReadText(text).problem.empty(); }
template <typename Other>
bool IsNotBstr(const Other&) {
    return false;
}
// The 1-based position of the first of `args` that is a text but not a
// BSTR, 0 when none is.
template <typename... Args>
int NotBstrPosition(const Args&... args) {
    int position = 0, k = 0;
    ((++k, position = position ? position : IsNotBstr(args) ? k : 0), ...);
    return position;
}
// What the record shows beside an operation: a BSTR argument (NULL: ""),
// a text.
inline std::wstring Detail(BSTR text) { return Text(text); }
inline std::wstring Detail(const wchar_t* text) { return text; }
inline std::wstring Detail(std::wstring text) { return text; }
// The description of the error information a failed call left, which stays
// set for the unit to read.
std::wstring PeekErrorText();

// What every facet is to its pass-through: attached to the inner object's
// interface of the same IID, and answered as that IID's pointer.
class FacetBase {
public:
    virtual ~FacetBase() = default;
    virtual IUnknown* Unknown() = 0;
    // Takes the inner object's interface; false when it answers none.
    virtual bool Attach(IUnknown* inner) = 0;
    // Lets go of it: a call then answers CO_E_OBJNOTCONNECTED.
    virtual void Detach() = 0;
};

// IUnknown and IDispatch of one interface of a PassThrough. The IDispatch
// members go to the same interface of the inner object; Invoke is recorded
// unless `Recorded` is false (the error interfaces, read after a failure).
template <typename Interface, bool Recorded = true>
class Facet : public Interface, public FacetBase {
public:
    explicit Facet(PassThrough* outer) : outer_(outer) {}
    Facet(const Facet&) = delete;
    Facet& operator=(const Facet&) = delete;
    ~Facet() override {
        if (inner_) inner_->Release();
    }
    IUnknown* Unknown() override { return static_cast<Interface*>(this); }
    bool Attach(IUnknown* inner) override {
        return SUCCEEDED(
            inner->QueryInterface(__uuidof(Interface), reinterpret_cast<void**>(&inner_)));
    }
    void Detach() override {
        if (inner_) inner_->Release();
        inner_ = nullptr;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return inner_ ? inner_->GetTypeInfoCount(count) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
        return inner_ ? inner_->GetTypeInfo(index, lcid, info) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
        if (!inner_) return CO_E_OBJNOTCONNECTED;
        const HRESULT hr = inner_->GetIDsOfNames(iid, names, count, lcid, ids);
        if (SUCCEEDED(hr) && count > 0 && names && names[0] && ids) names_[ids[0]] = names[0];
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                     UINT* argErr) override;

protected:
    // The name a member was asked by, else the one the type information gives.
    std::wstring MemberName(DISPID id) {
        const auto known = names_.find(id);
        if (known != names_.end()) return known->second;
        ITypeInfo* info = nullptr;
        BSTR name = nullptr;
        if (inner_ && SUCCEEDED(inner_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info)) && info) {
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

// Builds the facets of one version onto a new pass-through; false when the
// inner object lacks an interface the version needs.
using FacetBuilder = bool (*)(PassThrough& made, IUnknown* inner);

// The pass-through object: one reference count for all its facets (the
// unit's: the host holds the object apart from it), the record it writes to.
class PassThrough {
public:
    // `references`: the unit's to begin with (1 for a copy handed to it).
    PassThrough(ObjectRecord& record, CallRecord& all, FacetBuilder build, ULONG references);
    ~PassThrough();
    PassThrough(const PassThrough&) = delete;
    PassThrough& operator=(const PassThrough&) = delete;

    // Adds a facet answering its interface; a required one must attach.
    bool Add(std::unique_ptr<FacetBase> facet, const IID& iid, IUnknown* inner, bool required);
    // The first facet added (IDispatch): the object's identity.
    IDispatch* Dispatch();
    // Whether `pointer` is one of the facets (compared, never called).
    bool Answers(const void* pointer) const;
    ObjectRecord& Object() { return record_; }
    IDispatch* InnerDispatch() const { return innerDispatch_; }

    HRESULT QueryInterface(REFIID iid, void** out);
    // The pass-throughs live in the host's single-threaded apartment: the
    // unit calls them on the host's thread.
    ULONG AddRef() {
        record_.references = ++references_;
        return references_;
    }
    ULONG Release();
    // The host's hold ends: freed now when the unit holds no reference.
    void LetGo();

    // Forwards a call and records it with its outcome.
    // `notBstr`: the position of an argument that is not a BSTR, or 0.
    template <typename Forward>
    HRESULT Call(const wchar_t* operation, const std::wstring& detail, Forward&& forward,
                 int notBstr = 0) {
        if (notBstr) NotBstr(operation, notBstr);
        if (released_) return Released(operation, detail);
        const KorvidCallScope underWay(record_.label, operation, detail.c_str());
        const HRESULT hr = forward();
        Record(operation, detail, hr, FAILED(hr) ? PeekErrorText() : L"");
        return hr;
    }

    // Forwards a call that makes a copy, and hands out the copy wrapped.
    template <typename Forward>
    HRESULT Clone(const wchar_t* operation, IDispatch** out, Forward&& forward) {
        if (released_) {
            if (out) *out = nullptr;
            return Released(operation, L"");
        }
        const std::wstring label = all_.NextCopyLabel(record_.port);
        if (all_.beforeCopy) all_.beforeCopy(label);
        IDispatch* made = nullptr;
        const KorvidCallScope underWay(record_.label, operation, L"");
        HRESULT hr = forward(out ? &made : nullptr);
        const std::wstring error = FAILED(hr) ? PeekErrorText() : L"";
        if (SUCCEEDED(hr) && made) {
            IDispatch* wrapped = WrapCopy(made, label);
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

    // The object a pass-through of this run stands for, with its label, or
    // `object` itself with "another object": what an argument naming a
    // material object is forwarded as.
    std::pair<IDispatch*, std::wstring> Unwrap(IDispatch* object) const;

    // Notes that argument `position` of `operation` is not a BSTR.
    void NotBstr(const std::wstring& operation, int position) {
        record_.notBstr.push_back(operation + L" argument " + std::to_wstring(position));
    }

private:
    friend IDispatch* Wrap(IUnknown*, ObjectRecord&, CallRecord&, FacetBuilder, ULONG);
    void Record(std::wstring operation, std::wstring detail, HRESULT hr, std::wstring error) {
        record_.calls.push_back(
            {std::move(operation), std::move(detail), hr, std::move(error), all_.calculating});
    }
    IDispatch* WrapCopy(IUnknown* made, const std::wstring& label);
    // A call on a copy after the unit's last Release of it: recorded, refused.
    HRESULT Released(std::wstring operation, std::wstring detail) {
        Record(std::move(operation), std::move(detail), CO_E_OBJNOTCONNECTED,
               L"called after the unit's last Release");
        return CO_E_OBJNOTCONNECTED;
    }

    ULONG references_;
    bool held_ = true;  // by the host
    // A copy the unit released: its inner object is let go, as a simulator's
    // would be (its report closed), the pass-through kept for a late Release.
    bool released_ = false;
    ObjectRecord& record_;
    CallRecord& all_;
    FacetBuilder build_;
    IDispatch* innerDispatch_ = nullptr;  // held by the IDispatch facet
    std::vector<std::pair<const IID*, std::unique_ptr<FacetBase>>> facets_;
};

// A new pass-through around `inner` with the facets `build` gives it (and
// ISupportErrorInfo), held by the host: its IDispatch with `references` of
// the unit, or nullptr.
IDispatch* Wrap(IUnknown* inner, ObjectRecord& record, CallRecord& all, FacetBuilder build,
                ULONG references);

template <typename Interface, bool Recorded>
HRESULT Facet<Interface, Recorded>::QueryInterface(REFIID iid, void** out) {
    return outer_->QueryInterface(iid, out);
}
template <typename Interface, bool Recorded>
ULONG Facet<Interface, Recorded>::AddRef() {
    return outer_->AddRef();
}
template <typename Interface, bool Recorded>
ULONG Facet<Interface, Recorded>::Release() {
    return outer_->Release();
}
template <typename Interface, bool Recorded>
HRESULT Facet<Interface, Recorded>::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                           DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                           UINT* argErr) {
    if (!Recorded)
        return inner_ ? inner_->Invoke(id, iid, lcid, flags, params, result, excep, argErr)
                      : CO_E_OBJNOTCONNECTED;
    return outer_->Invoke(inner_, MemberName(id), id, iid, lcid, flags, params, result, excep,
                          argErr);
}

// Adds facet type F (a Facet<I>) for interface I.
template <typename F, typename I>
bool AddFacet(PassThrough& made, IUnknown* inner, bool required) {
    return made.Add(std::make_unique<F>(&made), __uuidof(I), inner, required);
}

// ICapeIdentification, the same in both versions (pass_through.cpp).
bool AddIdentification(PassThrough& made, IUnknown* inner, bool required);

// A method forwarded as it is and recorded under its own name; `detail` is
// what the record shows beside it (a property named, or L"").
#define KORVID_WIDE_(text) L##text
#define KORVID_WIDE(text) KORVID_WIDE_(text)
#define KORVID_FORWARD(name, detail, params, args)              \
    HRESULT STDMETHODCALLTYPE name params override {            \
        return outer_->Call(KORVID_WIDE(#name), Detail(detail), \
                            [&] { return inner_->name args; }, \
                            NotBstrPosition args);              \
    }

}  // namespace korvid::validate::pass
