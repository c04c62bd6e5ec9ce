#include "tools/sample_unit/cape_object.h"

#include <vector>

#include "com_server/server_lock.h"

namespace korvid::sample_unit {

namespace {

struct ErrorInterface {
    HRESULT hr;
    const wchar_t* name;
};
// By CapeErrorKind.
constexpr ErrorInterface kErrors[] = {
    {static_cast<HRESULT>(ECapeUnknownHR), L"ECapeUnknown"},
    {static_cast<HRESULT>(ECapeInvalidArgumentHR), L"ECapeInvalidArgument"},
    {static_cast<HRESULT>(ECapeOutOfBoundsHR), L"ECapeOutOfBounds"},
    {static_cast<HRESULT>(ECapeNoImplHR), L"ECapeNoImpl"},
    {static_cast<HRESULT>(ECapeFailedInitialisationHR), L"ECapeFailedInitialisation"},
    {static_cast<HRESULT>(ECapeBadInvOrderHR), L"ECapeBadInvOrder"},
};

struct TypeInfoEntry {
    IID iid;
    ITypeInfo* info;
};

// The interfaces of the type library embedded in this DLL, read once per
// process (by whichever apartment thread comes first) and kept: no release
// at exit, when OLE Automation may be gone.
const std::vector<TypeInfoEntry>& TypeInfos() {
    static const std::vector<TypeInfoEntry> infos = [] {
        std::vector<TypeInfoEntry> entries;
        const std::wstring path = com::ThisModulePath();
        ITypeLib* lib = nullptr;
        if (path.empty() || FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &lib))) return entries;
        for (UINT k = 0; k < lib->GetTypeInfoCount(); ++k) {
            ITypeInfo* info = nullptr;
            TYPEATTR* attr = nullptr;
            if (FAILED(lib->GetTypeInfo(k, &info))) continue;
            if (SUCCEEDED(info->GetTypeAttr(&attr))) {
                const bool face = attr->typekind == TKIND_INTERFACE || attr->typekind == TKIND_DISPATCH;
                if (face) entries.push_back({attr->guid, info});
                info->ReleaseTypeAttr(attr);
                if (face) continue;
            }
            info->Release();
        }
        return entries;
    }();
    return infos;
}

}  // namespace

ITypeInfo* TypeInfoOf(REFIID iid) {
    for (const TypeInfoEntry& entry : TypeInfos()) {
        if (IsEqualIID(entry.iid, iid)) return entry.info;
    }
    return nullptr;
}

void Fail(CapeErrorKind kind, std::wstring description) {
    throw CapeError{kind, std::move(description)};
}

BSTR AllocText(const std::wstring& text) {
    BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!s) throw std::bad_alloc();
    return s;
}

void SetText(BSTR* inOut, const std::wstring& text) {
    BSTR s = AllocText(text);
    SysFreeString(*inOut);
    *inOut = s;
}

// --- What every CAPE-OPEN object answers -----------------------------------------

namespace {

class Identification final : public Part<ICapeIdentification> {
public:
    Identification(CapeObject* owner, std::wstring* name, std::wstring* description)
        : Part(owner, L"ICapeIdentification"), name_(name), description_(description) {}

    HRESULT STDMETHODCALLTYPE get_ComponentName(BSTR* name) override {
        return Out(L"get_ComponentName", name, [&] { return AllocText(*name_); });
    }
    HRESULT STDMETHODCALLTYPE put_ComponentName(BSTR name) override {
        return Run(L"put_ComponentName", [&] { *name_ = name ? name : L""; });
    }
    HRESULT STDMETHODCALLTYPE get_ComponentDescription(BSTR* desc) override {
        return Out(L"get_ComponentDescription", desc, [&] { return AllocText(*description_); });
    }
    HRESULT STDMETHODCALLTYPE put_ComponentDescription(BSTR desc) override {
        return Run(L"put_ComponentDescription", [&] { *description_ = desc ? desc : L""; });
    }

private:
    std::wstring* name_;
    std::wstring* description_;
};

// The getters of the error interfaces read the record without touching it.
template <typename T>
HRESULT Give(T* out, T value) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}
HRESULT GiveText(BSTR* out, const std::wstring& text) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

struct CapeObject::CommonParts {
    class Root final : public Part<ECapeRoot> {
    public:
        using Part::Part;
        HRESULT STDMETHODCALLTYPE get_name(BSTR* name) override {
            const auto& error = owner_->error_;
            return GiveText(name, error ? error->name : L"");
        }
    };
    class User final : public Part<ECapeUser> {
    public:
        using Part::Part;
        HRESULT STDMETHODCALLTYPE get_code(long* code) override {
            return Give<long>(code, Error() ? Error()->hr : 0);
        }
        HRESULT STDMETHODCALLTYPE get_description(BSTR* text) override {
            return GiveText(text, Error() ? Error()->description : L"");
        }
        HRESULT STDMETHODCALLTYPE get_scope(BSTR* text) override {
            return GiveText(text, owner_->scope_);
        }
        HRESULT STDMETHODCALLTYPE get_interfaceName(BSTR* text) override {
            return GiveText(text, Error() ? Error()->interfaceName : L"");
        }
        HRESULT STDMETHODCALLTYPE get_operation(BSTR* text) override {
            return GiveText(text, Error() ? Error()->operation : L"");
        }
        HRESULT STDMETHODCALLTYPE get_moreInfo(BSTR* text) override { return GiveText(text, L""); }

    private:
        const std::optional<ErrorRecord>& Error() const { return owner_->error_; }
    };
    class Unknown final : public Part<ECapeUnknown> {
    public:
        using Part::Part;
    };
    class SupportErrorInfo final : public ISupportErrorInfo {
    public:
        explicit SupportErrorInfo(CapeObject* owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
            return owner_->QueryInterface(iid, out);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return owner_->AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return owner_->Release(); }
        HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
            return owner_->Find(iid) || IsEqualIID(iid, IID_ICapeIdentification) ? S_OK : S_FALSE;
        }

    private:
        CapeObject* owner_;
    };

    explicit CommonParts(CapeObject* owner)
        : identification(owner, &owner->name_, &owner->description_),
          root(owner, L"ECapeRoot"),
          user(owner, L"ECapeUser"),
          unknown(owner, L"ECapeUnknown"),
          support(owner) {}

    Identification identification;
    Root root;
    User user;
    Unknown unknown;
    SupportErrorInfo support;
};

CapeObject::CapeObject(std::wstring name, std::wstring description, const wchar_t* scope)
    : name_(std::move(name)),
      description_(std::move(description)),
      scope_(scope),
      common_(new CommonParts(this)) {
    com::ObjectCreated();
}

CapeObject::~CapeObject() {
    delete common_;
    com::ObjectDestroyed();
}

ULONG CapeObject::Release() {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
}

HRESULT CapeObject::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    IUnknown* part = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        part = Default();
    } else if (IsEqualIID(iid, IID_ICapeIdentification)) {
        part = &common_->identification;
    } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
        if (supportsErrorInfo_) part = &common_->support;
    } else if (IsEqualIID(iid, IID_ECapeRoot)) {
        // The error interfaces answer while an error is recorded.
        if (error_) part = &common_->root;
    } else if (IsEqualIID(iid, IID_ECapeUser)) {
        if (error_) part = &common_->user;
    } else if (IsEqualIID(iid, IID_ECapeUnknown)) {
        if (error_ && error_->hr == static_cast<HRESULT>(ECapeUnknownHR)) part = &common_->unknown;
    } else {
        part = Find(iid);
    }
    if (!part) return E_NOINTERFACE;
    part->AddRef();
    *out = part;
    return S_OK;
}

HRESULT CapeObject::Record(REFIID iid, const wchar_t* interfaceName, const wchar_t* operation,
                           const CapeError& error) {
    const ErrorInterface& kind = kErrors[static_cast<int>(error.kind)];
    try {
        error_ = ErrorRecord{kind.hr, kind.name, error.description, interfaceName, operation};
    } catch (const std::bad_alloc&) {
        error_.reset();
        return E_OUTOFMEMORY;
    }
    ICreateErrorInfo* create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        create->SetGUID(iid);
        create->SetSource(const_cast<LPOLESTR>(L"Korvid.SampleFlashDrum"));
        create->SetDescription(const_cast<LPOLESTR>(error.description.c_str()));
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
            SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    }
    return kind.hr;
}

}  // namespace korvid::sample_unit
