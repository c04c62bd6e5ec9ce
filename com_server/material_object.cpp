#include "com_server/material_object.h"

#include <array>
#include <memory>

#include "Korvid_h.h"
#include "KorvidThermo11_h.h"
#include "automation/variant.h"
#include "com_server/com_call.h"
#include "com_server/server_lock.h"
#include "com_server/type_library.h"
#include "thermo_material/material.h"

namespace korvid::com {

namespace {

using thermo_material::Material;

// The logic behind a material of this apartment, for CopyFromMaterial: an
// interface that no type library declares, so it never crosses apartments.
// {6F1D4C2A-93B8-4E57-8A0C-D5E2B7F41963}
const IID IID_IKorvidMaterialLogic = {
    0x6f1d4c2a, 0x93b8, 0x4e57, {0x8a, 0x0c, 0xd5, 0xe2, 0xb7, 0xf4, 0x19, 0x63}};
struct IKorvidMaterialLogic : IUnknown {
    virtual Material* STDMETHODCALLTYPE Logic() = 0;
};

class MaterialObject;

// IUnknown and IDispatch of one interface of a MaterialObject.
template <typename Interface, const IID* Iid>
class Facet : public Interface {
public:
    explicit Facet(MaterialObject* outer) : outer_(outer) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = TypeInfoOf(*Iid) ? 1 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        ITypeInfo* ti = TypeInfoOf(*Iid);
        if (!ti) return TYPE_E_ELEMENTNOTFOUND;
        ti->AddRef();
        *info = ti;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        ITypeInfo* ti = TypeInfoOf(*Iid);
        if (!ti) return E_UNEXPECTED;
        return DispGetIDsOfNames(ti, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                     UINT* argErr) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        return InvokeThrough(*Iid, static_cast<Interface*>(this), id, flags, params, result,
                             excep, argErr);
    }

protected:
    Material& Logic();
    MaterialObject* outer_;
};

#define KORVID_CALL(body) return Run(kIid, [&] { body; })
#define KORVID_OUT_VARIANT(out, body) return RunOutVariant(kIid, out, [&] { return body; })
#define KORVID_OUT_VALUE(out, body) return RunOutValue(kIid, out, [&] { return body; })
template <typename... Pointers>
bool AnyNull(Pointers*... pointers) {
    return ((pointers == nullptr) || ...);
}
#define KORVID_CHECK(...) \
    if (AnyNull(__VA_ARGS__)) return E_POINTER

class Identification final : public Facet<ICapeIdentification, &IID_ICapeIdentification> {
public:
    using Facet::Facet;
    static constexpr const IID& kIid = IID_ICapeIdentification;
    HRESULT STDMETHODCALLTYPE get_ComponentName(BSTR* name) override {
        return RunOutBstr(kIid, name, [&] { return Logic().GetComponentName(); });
    }
    HRESULT STDMETHODCALLTYPE put_ComponentName(BSTR name) override {
        KORVID_CALL(Logic().PutComponentName(Text(name)));
    }
    HRESULT STDMETHODCALLTYPE get_ComponentDescription(BSTR* desc) override {
        return RunOutBstr(kIid, desc, [&] { return Logic().GetComponentDescription(); });
    }
    HRESULT STDMETHODCALLTYPE put_ComponentDescription(BSTR desc) override {
        KORVID_CALL(Logic().PutComponentDescription(Text(desc)));
    }
};

class Thermo final : public Facet<ICapeThermoMaterial, &IID_ICapeThermoMaterial> {
public:
    using Facet::Facet;
    static constexpr const IID& kIid = IID_ICapeThermoMaterial;

    // The default IDispatch also answers the names of the other interfaces.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                     UINT* argErr) override;

    HRESULT STDMETHODCALLTYPE ClearAllProps() override { KORVID_CALL(Logic().ClearAllProps()); }
    HRESULT STDMETHODCALLTYPE CopyFromMaterial(IDispatch** source) override;
    HRESULT STDMETHODCALLTYPE CreateMaterial(IDispatch** made) override {
        KORVID_OUT_VALUE(made, Logic().CreateMaterial());
    }
    HRESULT STDMETHODCALLTYPE GetOverallProp(BSTR property, BSTR basis, VARIANT* results) override {
        KORVID_CHECK(results);
        KORVID_CALL(Logic().GetOverallProp(Text(property), Text(basis), results));
    }
    HRESULT STDMETHODCALLTYPE GetOverallTPFraction(double* t, double* p, VARIANT* x) override {
        KORVID_CHECK(t, p, x);
        KORVID_CALL(Logic().GetOverallTPFraction(t, p, x));
    }
    HRESULT STDMETHODCALLTYPE GetPresentPhases(VARIANT* labels, VARIANT* status) override {
        KORVID_CHECK(labels, status);
        KORVID_CALL(Logic().GetPresentPhases(labels, status));
    }
    HRESULT STDMETHODCALLTYPE GetSinglePhaseProp(BSTR property, BSTR phase, BSTR basis,
                                                 VARIANT* results) override {
        KORVID_CHECK(results);
        KORVID_CALL(Logic().GetSinglePhaseProp(Text(property), Text(phase), Text(basis), results));
    }
    HRESULT STDMETHODCALLTYPE GetTPFraction(BSTR phase, double* t, double* p, VARIANT* x) override {
        KORVID_CHECK(t, p, x);
        KORVID_CALL(Logic().GetTPFraction(Text(phase), t, p, x));
    }
    HRESULT STDMETHODCALLTYPE GetTwoPhaseProp(BSTR property, VARIANT phases, BSTR basis,
                                              VARIANT* results) override {
        KORVID_CHECK(results);
        KORVID_CALL(Logic().GetTwoPhaseProp(Text(property), phases, Text(basis), results));
    }
    HRESULT STDMETHODCALLTYPE SetOverallProp(BSTR property, BSTR basis, VARIANT values) override {
        KORVID_CALL(Logic().SetOverallProp(Text(property), Text(basis), values));
    }
    HRESULT STDMETHODCALLTYPE SetPresentPhases(VARIANT labels, VARIANT status) override {
        KORVID_CALL(Logic().SetPresentPhases(labels, status));
    }
    HRESULT STDMETHODCALLTYPE SetSinglePhaseProp(BSTR property, BSTR phase, BSTR basis,
                                                 VARIANT values) override {
        KORVID_CALL(Logic().SetSinglePhaseProp(Text(property), Text(phase), Text(basis), values));
    }
    HRESULT STDMETHODCALLTYPE SetTwoPhaseProp(BSTR property, VARIANT phases, BSTR basis,
                                              VARIANT values) override {
        KORVID_CALL(Logic().SetTwoPhaseProp(Text(property), phases, Text(basis), values));
    }
};

class Compounds final : public Facet<ICapeThermoCompounds, &IID_ICapeThermoCompounds> {
public:
    using Facet::Facet;
    static constexpr const IID& kIid = IID_ICapeThermoCompounds;
    HRESULT STDMETHODCALLTYPE GetCompoundConstant(VARIANT props, VARIANT compIds,
                                                  VARIANT* propVals) override {
        KORVID_OUT_VARIANT(propVals, Logic().GetCompoundConstant(props, compIds));
    }
    HRESULT STDMETHODCALLTYPE GetCompoundList(VARIANT* ids, VARIANT* formulae, VARIANT* names,
                                              VARIANT* boilTemps, VARIANT* molwts,
                                              VARIANT* casnos) override {
        KORVID_CHECK(ids, formulae, names, boilTemps, molwts, casnos);
        KORVID_CALL(Logic().GetCompoundList(ids, formulae, names, boilTemps, molwts, casnos));
    }
    HRESULT STDMETHODCALLTYPE GetConstPropList(VARIANT* props) override {
        KORVID_OUT_VARIANT(props, Logic().GetConstPropList());
    }
    HRESULT STDMETHODCALLTYPE GetNumCompounds(LONG* num) override {
        KORVID_OUT_VALUE(num, static_cast<LONG>(Logic().GetNumCompounds()));
    }
    HRESULT STDMETHODCALLTYPE GetPDependentProperty(VARIANT props, double pressure,
                                                    VARIANT compIds, VARIANT* vals) override {
        KORVID_CHECK(vals);
        KORVID_CALL(Logic().GetPDependentProperty(props, pressure, compIds, vals));
    }
    HRESULT STDMETHODCALLTYPE GetPDependentPropList(VARIANT* props) override {
        KORVID_OUT_VARIANT(props, Logic().GetPDependentPropList());
    }
    HRESULT STDMETHODCALLTYPE GetTDependentProperty(VARIANT props, double temperature,
                                                    VARIANT compIds, VARIANT* vals) override {
        KORVID_CHECK(vals);
        KORVID_CALL(Logic().GetTDependentProperty(props, temperature, compIds, vals));
    }
    HRESULT STDMETHODCALLTYPE GetTDependentPropList(VARIANT* props) override {
        KORVID_OUT_VARIANT(props, Logic().GetTDependentPropList());
    }
};

class Phases final : public Facet<ICapeThermoPhases, &IID_ICapeThermoPhases> {
public:
    using Facet::Facet;
    static constexpr const IID& kIid = IID_ICapeThermoPhases;
    HRESULT STDMETHODCALLTYPE GetNumPhases(LONG* num) override {
        KORVID_OUT_VALUE(num, static_cast<LONG>(Logic().GetNumPhases()));
    }
    HRESULT STDMETHODCALLTYPE GetPhaseInfo(BSTR phase, BSTR attribute, VARIANT* value) override {
        KORVID_OUT_VARIANT(value, Logic().GetPhaseInfo(Text(phase), Text(attribute)));
    }
    HRESULT STDMETHODCALLTYPE GetPhaseList(VARIANT* labels, VARIANT* states,
                                           VARIANT* keys) override {
        KORVID_CHECK(labels, states, keys);
        KORVID_CALL(Logic().GetPhaseList(labels, states, keys));
    }
};

class Constants final
    : public Facet<ICapeThermoUniversalConstant, &IID_ICapeThermoUniversalConstant> {
public:
    using Facet::Facet;
    static constexpr const IID& kIid = IID_ICapeThermoUniversalConstant;
    HRESULT STDMETHODCALLTYPE GetUniversalConstant(BSTR id, VARIANT* value) override {
        KORVID_OUT_VARIANT(value, Logic().GetUniversalConstant(Text(id)));
    }
    HRESULT STDMETHODCALLTYPE GetUniversalConstantList(VARIANT* ids) override {
        KORVID_OUT_VARIANT(ids, Logic().GetUniversalConstantList());
    }
};

class PropertyRoutine final
    : public Facet<ICapeThermoPropertyRoutine, &IID_ICapeThermoPropertyRoutine> {
public:
    using Facet::Facet;
    static constexpr const IID& kIid = IID_ICapeThermoPropertyRoutine;
    HRESULT STDMETHODCALLTYPE CalcAndGetLnPhi(BSTR phase, double t, double p, VARIANT moles,
                                              int flags, VARIANT* lnPhi, VARIANT* dT,
                                              VARIANT* dP, VARIANT* dn) override {
        KORVID_CHECK(lnPhi, dT, dP, dn);
        KORVID_CALL(Logic().CalcAndGetLnPhi(Text(phase), t, p, moles, flags, lnPhi, dT, dP, dn));
    }
    HRESULT STDMETHODCALLTYPE CalcSinglePhaseProp(VARIANT props, BSTR phase) override {
        KORVID_CALL(Logic().CalcSinglePhaseProp(props, Text(phase)));
    }
    HRESULT STDMETHODCALLTYPE CalcTwoPhaseProp(VARIANT props, VARIANT phases) override {
        KORVID_CALL(Logic().CalcTwoPhaseProp(props, phases));
    }
    HRESULT STDMETHODCALLTYPE CheckSinglePhasePropSpec(BSTR property, BSTR phase,
                                                       VARIANT_BOOL* valid) override {
        KORVID_OUT_VALUE(valid, Bool(Logic().CheckSinglePhasePropSpec(Text(property), Text(phase))));
    }
    HRESULT STDMETHODCALLTYPE CheckTwoPhasePropSpec(BSTR property, VARIANT phases,
                                                    VARIANT_BOOL* valid) override {
        KORVID_OUT_VALUE(valid, Bool(Logic().CheckTwoPhasePropSpec(Text(property), phases)));
    }
    HRESULT STDMETHODCALLTYPE GetSinglePhasePropList(VARIANT* props) override {
        KORVID_OUT_VARIANT(props, Logic().GetSinglePhasePropList());
    }
    HRESULT STDMETHODCALLTYPE GetTwoPhasePropList(VARIANT* props) override {
        KORVID_OUT_VARIANT(props, Logic().GetTwoPhasePropList());
    }
};

class EquilibriumRoutine final
    : public Facet<ICapeThermoEquilibriumRoutine, &IID_ICapeThermoEquilibriumRoutine> {
public:
    using Facet::Facet;
    static constexpr const IID& kIid = IID_ICapeThermoEquilibriumRoutine;
    HRESULT STDMETHODCALLTYPE CalcEquilibrium(VARIANT spec1, VARIANT spec2,
                                              BSTR solutionType) override {
        KORVID_CALL(Logic().CalcEquilibrium(spec1, spec2, Text(solutionType)));
    }
    HRESULT STDMETHODCALLTYPE CheckEquilibriumSpec(VARIANT spec1, VARIANT spec2, BSTR solutionType,
                                                   VARIANT_BOOL* supported) override {
        KORVID_OUT_VALUE(supported,
                         Bool(Logic().CheckEquilibriumSpec(spec1, spec2, Text(solutionType))));
    }
};

// --- The error interfaces: the last failure's record ----------------------------

class ErrorRoot final : public Facet<ECapeRoot, &IID_ECapeRoot> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE get_name(BSTR* name) override {
        return RunOutBstr(IID_ECapeRoot, name, [&] { return Logic().LastError().name; });
    }
};

class ErrorUser final : public Facet<ECapeUser, &IID_ECapeUser> {
public:
    using Facet::Facet;
    static constexpr const IID& kIid = IID_ECapeUser;
    HRESULT STDMETHODCALLTYPE get_code(LONG* code) override {
        KORVID_OUT_VALUE(code, static_cast<LONG>(Logic().LastError().code));
    }
#define KORVID_ERROR_TEXT(member, field)                                  \
    HRESULT STDMETHODCALLTYPE get_##member(BSTR* out) override {          \
        return RunOutBstr(kIid, out, [&] { return Logic().LastError().field; }); \
    }
    KORVID_ERROR_TEXT(description, description)
    KORVID_ERROR_TEXT(scope, scope)
    KORVID_ERROR_TEXT(interfaceName, interfaceName)
    KORVID_ERROR_TEXT(operation, operation)
#undef KORVID_ERROR_TEXT
    HRESULT STDMETHODCALLTYPE get_moreInfo(BSTR* out) override {
        return RunOutBstr(kIid, out, [&] { return std::wstring(); });
    }
};

class ErrorBadArgument final : public Facet<ECapeBadArgument, &IID_ECapeBadArgument> {
public:
    using Facet::Facet;
    HRESULT STDMETHODCALLTYPE get_position(short* position) override {
        return RunOutValue(IID_ECapeBadArgument, position,
                           [&] { return static_cast<short>(Logic().LastError().position); });
    }
};

class ErrorBadInvOrder final : public Facet<ECapeBadInvOrder, &IID_ECapeBadInvOrder> {
public:
    using Facet::Facet;
    // The material needs no call before another: never raised, nothing requested.
    HRESULT STDMETHODCALLTYPE get_requestedOperation(BSTR* out) override {
        return RunOutBstr(IID_ECapeBadInvOrder, out, [&] { return std::wstring(); });
    }
};

// The error interfaces without members of their own.
template <typename Interface, const IID* Iid>
class PlainError final : public Facet<Interface, Iid> {
public:
    using Facet<Interface, Iid>::Facet;
};

class ErrorSupport final : public ISupportErrorInfo {
public:
    explicit ErrorSupport(MaterialObject* outer) : outer_(outer) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

private:
    MaterialObject* outer_;
};

class LogicAccess final : public IKorvidMaterialLogic {
public:
    explicit LogicAccess(MaterialObject* outer) : outer_(outer) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    Material* STDMETHODCALLTYPE Logic() override;

private:
    MaterialObject* outer_;
};

// One Material as a COM object.
class MaterialObject {
public:
    MaterialObject()
        : thermo_(this), identification_(this), compounds_(this), phases_(this),
          constants_(this), propertyRoutine_(this), equilibriumRoutine_(this), root_(this),
          user_(this), badArgument_(this), badInvOrder_(this), unknown_(this), data_(this),
          invalidArgument_(this), implementation_(this), noImpl_(this), limitedImpl_(this),
          noMemory_(this), failedInitialisation_(this), notAvailable_(this), errors_(this),
          logicAccess_(this) {
        ObjectCreated();
    }
    ~MaterialObject() { ObjectDestroyed(); }

    // Runs the start-up (the form, or a copy of `configuration`'s compounds); raises its error.
    void Start(const Material* configuration) {
        logic_ = configuration ? std::make_unique<Material>(*configuration)
                               : std::make_unique<Material>();
    }
    Material& Logic() { return *logic_; }
    IDispatch* DefaultDispatch() { return static_cast<ICapeThermoMaterial*>(&thermo_); }

    // Every interface of the object with its IDispatch, in the order in
    // which the default IDispatch looks up names (interface k at k * 1000).
    struct Face {
        const IID* iid;
        IDispatch* dispatch;
    };
    std::array<Face, 20> Faces() {
        return {{{&IID_ICapeThermoMaterial, &thermo_},
                 {&IID_ICapeThermoCompounds, &compounds_},
                 {&IID_ICapeThermoPhases, &phases_},
                 {&IID_ICapeThermoUniversalConstant, &constants_},
                 {&IID_ICapeThermoPropertyRoutine, &propertyRoutine_},
                 {&IID_ICapeThermoEquilibriumRoutine, &equilibriumRoutine_},
                 {&IID_ICapeIdentification, &identification_},
                 {&IID_ECapeRoot, &root_},
                 {&IID_ECapeUser, &user_},
                 {&IID_ECapeBadArgument, &badArgument_},
                 {&IID_ECapeBadInvOrder, &badInvOrder_},
                 {&IID_ECapeUnknown, &unknown_},
                 {&IID_ECapeData, &data_},
                 {&IID_ECapeInvalidArgument, &invalidArgument_},
                 {&IID_ECapeImplementation, &implementation_},
                 {&IID_ECapeNoImpl, &noImpl_},
                 {&IID_ECapeLimitedImpl, &limitedImpl_},
                 {&IID_ECapeNoMemory, &noMemory_},
                 {&IID_ECapeFailedInitialisation, &failedInitialisation_},
                 {&IID_ECapeThrmPropertyNotAvailable, &notAvailable_}}};
    }

    HRESULT QueryInterface(REFIID iid, void** out) {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *out = DefaultDispatch();
        } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
            *out = static_cast<ISupportErrorInfo*>(&errors_);
        } else if (IsEqualIID(iid, IID_IKorvidMaterialLogic)) {
            *out = static_cast<IKorvidMaterialLogic*>(&logicAccess_);
        } else {
            for (const Face& face : Faces()) {
                if (IsEqualIID(iid, *face.iid)) *out = face.dispatch;
            }
            if (!*out) return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG Release() {
        LONG refs = InterlockedDecrement(&refs_);
        if (refs == 0) {
            // The release may close the report: its lines go first.
            material_object::TraceScope trace;
            delete this;
        }
        return static_cast<ULONG>(refs);
    }

private:
    LONG refs_ = 1;
    Thermo thermo_;
    Identification identification_;
    Compounds compounds_;
    Phases phases_;
    Constants constants_;
    PropertyRoutine propertyRoutine_;
    EquilibriumRoutine equilibriumRoutine_;
    ErrorRoot root_;
    ErrorUser user_;
    ErrorBadArgument badArgument_;
    ErrorBadInvOrder badInvOrder_;
    PlainError<ECapeUnknown, &IID_ECapeUnknown> unknown_;
    PlainError<ECapeData, &IID_ECapeData> data_;
    PlainError<ECapeInvalidArgument, &IID_ECapeInvalidArgument> invalidArgument_;
    PlainError<ECapeImplementation, &IID_ECapeImplementation> implementation_;
    PlainError<ECapeNoImpl, &IID_ECapeNoImpl> noImpl_;
    PlainError<ECapeLimitedImpl, &IID_ECapeLimitedImpl> limitedImpl_;
    PlainError<ECapeNoMemory, &IID_ECapeNoMemory> noMemory_;
    PlainError<ECapeFailedInitialisation, &IID_ECapeFailedInitialisation> failedInitialisation_;
    PlainError<ECapeThrmPropertyNotAvailable, &IID_ECapeThrmPropertyNotAvailable> notAvailable_;
    ErrorSupport errors_;
    LogicAccess logicAccess_;
    std::unique_ptr<Material> logic_;
};

template <typename Interface, const IID* Iid>
HRESULT Facet<Interface, Iid>::QueryInterface(REFIID iid, void** out) {
    return outer_->QueryInterface(iid, out);
}
template <typename Interface, const IID* Iid>
ULONG Facet<Interface, Iid>::AddRef() {
    return outer_->AddRef();
}
template <typename Interface, const IID* Iid>
ULONG Facet<Interface, Iid>::Release() {
    return outer_->Release();
}
template <typename Interface, const IID* Iid>
Material& Facet<Interface, Iid>::Logic() {
    return outer_->Logic();
}

HRESULT ErrorSupport::QueryInterface(REFIID iid, void** out) {
    return outer_->QueryInterface(iid, out);
}
ULONG ErrorSupport::AddRef() { return outer_->AddRef(); }
ULONG ErrorSupport::Release() { return outer_->Release(); }
HRESULT ErrorSupport::InterfaceSupportsErrorInfo(REFIID iid) {
    for (const auto& face : outer_->Faces()) {
        if (IsEqualIID(iid, *face.iid)) return S_OK;
    }
    return S_FALSE;
}

HRESULT LogicAccess::QueryInterface(REFIID iid, void** out) {
    return outer_->QueryInterface(iid, out);
}
ULONG LogicAccess::AddRef() { return outer_->AddRef(); }
ULONG LogicAccess::Release() { return outer_->Release(); }
Material* LogicAccess::Logic() { return &outer_->Logic(); }

HRESULT Thermo::CopyFromMaterial(IDispatch** source) {
    // The source's logic when it is a material of this apartment.
    Material* logic = nullptr;
    IDispatch* given = source ? *source : nullptr;
    IKorvidMaterialLogic* access = nullptr;
    if (given && SUCCEEDED(given->QueryInterface(IID_IKorvidMaterialLogic,
                                                 reinterpret_cast<void**>(&access)))) {
        logic = access->Logic();
        access->Release();
    }
    KORVID_CALL(Logic().CopyFromMaterial(logic, given != nullptr));
}

HRESULT Thermo::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                              DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    HRESULT hr = Facet::GetIDsOfNames(riid, names, count, lcid, ids);
    if (hr != DISP_E_UNKNOWNNAME) return hr;
    const auto faces = outer_->Faces();
    for (size_t k = 1; k < faces.size(); ++k) {
        ITypeInfo* ti = TypeInfoOf(*faces[k].iid);
        if (!ti) continue;
        const HRESULT found = DispGetIDsOfNames(ti, names, count, ids);
        if (found != DISP_E_UNKNOWNNAME || ids[0] != DISPID_UNKNOWN) {
            if (ids[0] != DISPID_UNKNOWN) ids[0] += static_cast<DISPID>(k) * kMaterialDispidStep;
            return found;
        }
    }
    return hr;
}

HRESULT Thermo::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    const auto faces = outer_->Faces();
    const DISPID k = id / kMaterialDispidStep;
    if (id > kMaterialDispidStep && k < static_cast<DISPID>(faces.size()) &&
        id % kMaterialDispidStep != 0) {
        return InvokeThrough(*faces[k].iid, faces[k].dispatch, id % kMaterialDispidStep, flags,
                             params, result, excep, argErr);
    }
    return Facet::Invoke(id, riid, lcid, flags, params, result, excep, argErr);
}

}  // namespace

HRESULT CreateMaterialObject(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    MaterialObject* object = nullptr;
    HRESULT hr = Run(IID_ICapeThermoMaterial, [&] {
        object = new MaterialObject();
        try {
            object->Start(nullptr);
        } catch (...) {
            object->Release();
            object = nullptr;
            throw;
        }
    });
    if (FAILED(hr)) return hr;
    hr = object->QueryInterface(iid, result);
    object->Release();
    return hr;
}

}  // namespace korvid::com

namespace korvid::thermo_material {

IDispatch* NewMaterialDispatch(const Material* configuration) {
    auto* object = new com::MaterialObject();
    try {
        object->Start(configuration);
    } catch (...) {
        object->Release();
        throw;
    }
    return object->DefaultDispatch();
}

}  // namespace korvid::thermo_material
