// IDispatch answered from the type library embedded in this module.
#include "com_server/type_library.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "KorvidThermo11_h.h"
#include "com_server/argument_check.h"
#include "com_server/prop_invoke.h"
#include "com_server/server_lock.h"

namespace korvid::com {

namespace {

// The type library embedded in this module, loaded once per process.
class TypeLibrary {
public:
    static TypeLibrary& Get() {
        static TypeLibrary library;
        return library;
    }

    ITypeInfo* Info(REFIID iid) {
        const Entry* entry = Find(iid);
        return entry ? entry->info : nullptr;
    }

    // False when the interface has member `id` for one of the kinds in
    // `flags` but none of them takes `count` arguments. The automation
    // machinery leaks its copies of the arguments when it refuses a call
    // for its argument count, so such calls are refused before it.
    bool ArgumentCountFits(REFIID iid, DISPID id, WORD flags, UINT count) const {
        const Entry* entry = Find(iid);
        if (!entry) return true;
        bool member = false;
        for (const Signature& signature : entry->signatures) {
            if (signature.id != id || !(signature.kind & flags)) continue;
            member = true;
            if (count >= signature.minArgs && count <= signature.maxArgs) return true;
        }
        return !member;
    }

    // The parameter types of the member that a call of `id` with `flags`
    // reaches (the first of the interface's members that answers them), or
    // nothing when none does.
    const std::vector<VARTYPE>* ParameterTypes(REFIID iid, DISPID id, WORD flags) const {
        const Entry* entry = Find(iid);
        if (!entry) return nullptr;
        for (const Signature& signature : entry->signatures) {
            if (signature.id == id && (signature.kind & flags)) return &signature.types;
        }
        return nullptr;
    }

private:
    struct Signature {
        DISPID id;
        WORD kind;  // INVOKEKIND: the DISPATCH_* bit of the member
        UINT minArgs;
        UINT maxArgs;
        std::vector<VARTYPE> types;  // of the arguments, first first
    };
    struct Entry {
        IID iid;
        ITypeInfo* info;
        std::vector<Signature> signatures;
    };

    const Entry* Find(REFIID iid) const {
        if (!lib_) return nullptr;
        for (const auto& entry : infos_) {
            if (IsEqualIID(entry.iid, iid)) return &entry;
        }
        return nullptr;
    }

    static std::vector<Signature> SignaturesOf(ITypeInfo* info) {
        std::vector<Signature> signatures;
        TYPEATTR* attr = nullptr;
        if (FAILED(info->GetTypeAttr(&attr))) return signatures;
        for (UINT k = 0; k < attr->cFuncs; ++k) {
            FUNCDESC* func = nullptr;
            if (FAILED(info->GetFuncDesc(k, &func))) continue;
            UINT params = static_cast<UINT>(func->cParams);
            if (params > 0 &&
                (func->lprgelemdescParam[params - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) {
                --params;  // the result is no argument
            }
            const UINT optional = static_cast<UINT>(std::max<SHORT>(func->cParamsOpt, 0));
            std::vector<VARTYPE> types;
            for (UINT p = 0; p < params; ++p) {
                types.push_back(ParameterType(func->lprgelemdescParam[p].tdesc));
            }
            signatures.push_back({func->memid, static_cast<WORD>(func->invkind),
                                  params - std::min(optional, params), params, std::move(types)});
            info->ReleaseFuncDesc(func);
        }
        info->ReleaseTypeAttr(attr);
        return signatures;
    }

    TypeLibrary() {
        std::vector<wchar_t> path(MAX_PATH);
        for (;;) {
            DWORD length = GetModuleFileNameW(ThisModule(), path.data(),
                                              static_cast<DWORD>(path.size()));
            if (length == 0) return;
            if (length < path.size()) break;
            path.resize(path.size() * 2);
        }
        if (FAILED(LoadTypeLibEx(path.data(), REGKIND_NONE, &lib_))) {
            lib_ = nullptr;
            return;
        }
        Add(lib_, {&IID__Tessel, &IID_ICapeIdentification, &IID_ICapeThermoMaterialObject});
        // The CAPE-OPEN 1.1 class's library: the module's second TYPELIB resource.
        const std::wstring second = std::wstring(path.data()) + L"\\2";
        ITypeLib* thermo11 = nullptr;
        if (SUCCEEDED(LoadTypeLibEx(second.c_str(), REGKIND_NONE, &thermo11))) {
            Add(thermo11, {&IID_ICapeThermoMaterial, &IID_ICapeThermoCompounds,
                           &IID_ICapeThermoPhases, &IID_ICapeThermoUniversalConstant,
                           &IID_ICapeThermoPropertyRoutine, &IID_ICapeThermoEquilibriumRoutine,
                           &IID_ECapeRoot, &IID_ECapeUser, &IID_ECapeBadArgument,
                           &IID_ECapeBadInvOrder, &IID_ECapeUnknown, &IID_ECapeData,
                           &IID_ECapeInvalidArgument, &IID_ECapeImplementation, &IID_ECapeNoImpl,
                           &IID_ECapeLimitedImpl, &IID_ECapeNoMemory,
                           &IID_ECapeFailedInitialisation, &IID_ECapeThrmPropertyNotAvailable});
        }
    }

    // The interfaces `iids` of `lib` (ICapeIdentification, which both
    // libraries declare alike, is taken from the first).
    void Add(ITypeLib* lib, std::initializer_list<const IID*> iids) {
        for (const IID* iid : iids) {
            ITypeInfo* info = nullptr;
            if (SUCCEEDED(lib->GetTypeInfoOfGuid(*iid, &info))) {
                infos_.push_back({*iid, info, SignaturesOf(info)});
            }
        }
    }

    // The library lives as long as the process: no release at exit, when
    // OLE Automation may already be gone.

    ITypeLib* lib_ = nullptr;
    std::vector<Entry> infos_;
};

}  // namespace

HRESULT InvokeThrough(REFIID iid, void* iface, DISPID id, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
    ITypeInfo* ti = TypeLibrary::Get().Info(iid);
    if (!ti) return E_UNEXPECTED;
    if (IsEqualIID(iid, IID_ICapeThermoMaterialObject)) {
        const auto direct = InvokePropDirect(static_cast<ICapeThermoMaterialObject*>(iface), id,
                                             flags, params, result, excep);
        if (direct) return *direct;
    }
    const UINT count = params ? params->cArgs : 0;
    if (!TypeLibrary::Get().ArgumentCountFits(iid, id, flags, count)) return DISP_E_BADPARAMCOUNT;
    // The machinery is handed arguments it need not convert.
    ReadyArguments ready;
    if (const auto* types = TypeLibrary::Get().ParameterTypes(iid, id, flags); types && params) {
        const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
        const HRESULT refused = ready.Prepare(*types, put, *params, argErr);
        if (FAILED(refused)) return refused;
        params = ready.Params();
    }
    const HRESULT hr = DispInvoke(iface, ti, id, flags, params, result, excep, argErr);
    // The automation machinery copies the method's [out, retval] into the
    // result even when the method failed (a False for a failed check): a
    // failed call answers no result.
    if (FAILED(hr) && result) VariantClear(result);
    return hr;
}

ITypeInfo* TypeInfoOf(REFIID iid) { return TypeLibrary::Get().Info(iid); }

std::wstring InterfaceName(REFIID iid) {
    BSTR name = nullptr;
    ITypeInfo* ti = TypeInfoOf(iid);
    if (!ti || FAILED(ti->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr)))
        return L"interface";
    std::wstring text(name, SysStringLen(name));
    SysFreeString(name);
    return text;
}

}  // namespace korvid::com
