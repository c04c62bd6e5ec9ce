// The interfaces of a Material's COM object (com_server/material_object.cpp),
// each a small struct that forwards to the logic; IUnknown goes to the object.
// Only material_object.cpp includes this.
#pragma once

#include <windows.h>

#include "Korvid_h.h"
#include "KorvidThermo11_h.h"
#include "automation/variant.h"
#include "com_server/com_call.h"
#include "com_server/default_dispatch.h"
#include "com_server/dispatch_facet.h"
#include "com_server/type_library.h"
#include "thermo_material/material.h"

namespace korvid::com::material_detail {

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

// One interface of a MaterialObject.
template <typename Interface, const IID* Iid>
using Facet = DispatchFacet<MaterialObject, Material, Interface, Iid>;

#define KORVID_CALL(body) return Run(kIid, [&] { body; })
#define KORVID_OUT_VARIANT(out, body) return RunOutVariant(kIid, out, [&] { return body; })
#define KORVID_OUT_VALUE(out, body) return RunOutValue(kIid, out, [&] { return body; })
template <typename... Pointers>
bool AnyNull(Pointers*... pointers) {
    return ((pointers == nullptr) || ...);
}
// [in, out] results are cleared first, before any argument is checked.
inline void ClearResult(VARIANT* result) { VariantClear(result); }
template <typename Other>
void ClearResult(Other*) {}
template <typename... Pointers>
void ClearResults(Pointers*... pointers) {
    (ClearResult(pointers), ...);
}
#define KORVID_CHECK(...)                       \
    if (AnyNull(__VA_ARGS__)) return E_POINTER; \
    ClearResults(__VA_ARGS__)

class Identification final : public Facet<ICapeIdentification, &IID_ICapeIdentification> {
public:
    using DispatchFacet::DispatchFacet;
    static constexpr const IID& kIid = IID_ICapeIdentification;
    HRESULT STDMETHODCALLTYPE get_ComponentName(BSTR* name) override {
        return RunOutBstr(kIid, name, [&] { return Logic().GetComponentName(); });
    }
    HRESULT STDMETHODCALLTYPE put_ComponentName(BSTR name) override {
        KORVID_CALL(KORVID_SHAPES(ComponentName, name); Logic().PutComponentName(Text(name)));
    }
    HRESULT STDMETHODCALLTYPE get_ComponentDescription(BSTR* desc) override {
        return RunOutBstr(kIid, desc, [&] { return Logic().GetComponentDescription(); });
    }
    HRESULT STDMETHODCALLTYPE put_ComponentDescription(BSTR desc) override {
        KORVID_CALL(KORVID_SHAPES(ComponentDescription, desc);
                    Logic().PutComponentDescription(Text(desc)));
    }
};

// The default interface, whose IDispatch also answers the names of the others.
class Thermo final
    : public DefaultFacet<MaterialObject, Material, ICapeThermoMaterial, &IID_ICapeThermoMaterial> {
public:
    using DefaultFacet::DefaultFacet;
    static constexpr const IID& kIid = IID_ICapeThermoMaterial;

    HRESULT STDMETHODCALLTYPE ClearAllProps() override { KORVID_CALL(Logic().ClearAllProps()); }
    HRESULT STDMETHODCALLTYPE CopyFromMaterial(IDispatch** source) override;
    HRESULT STDMETHODCALLTYPE CreateMaterial(IDispatch** made) override {
        KORVID_OUT_VALUE(made, Logic().CreateMaterial());
    }
    HRESULT STDMETHODCALLTYPE GetOverallProp(BSTR property, BSTR basis, VARIANT* results) override {
        KORVID_CHECK(results);
        KORVID_CALL(KORVID_SHAPES(GetOverallProp, property, basis);
                    Logic().GetOverallProp(Text(property), Text(basis), results));
    }
    HRESULT STDMETHODCALLTYPE GetOverallTPFraction(double* t, double* p, VARIANT* x) override {
        KORVID_CHECK(t, p, x);
        KORVID_CALL(Logic().GetOverallTPFraction(t, p, x));
    }
    HRESULT STDMETHODCALLTYPE GetPresentPhases(VARIANT* labels, VARIANT* status) override {
        KORVID_CHECK(labels, status);
        KORVID_CALL(Logic().GetPresentPhases(labels, status));
    }
    HRESULT STDMETHODCALLTYPE GetSinglePhaseProp(BSTR property, BSTR phaseLabel, BSTR basis,
                                                 VARIANT* results) override {
        KORVID_CHECK(results);
        KORVID_CALL(
            KORVID_SHAPES(GetSinglePhaseProp, property, phaseLabel, basis);
            Logic().GetSinglePhaseProp(Text(property), Text(phaseLabel), Text(basis), results));
    }
    HRESULT STDMETHODCALLTYPE GetTPFraction(BSTR phaseLabel, double* t, double* p,
                                            VARIANT* x) override {
        KORVID_CHECK(t, p, x);
        KORVID_CALL(KORVID_SHAPES(GetTPFraction, phaseLabel);
                    Logic().GetTPFraction(Text(phaseLabel), t, p, x));
    }
    HRESULT STDMETHODCALLTYPE GetTwoPhaseProp(BSTR property, VARIANT phaseLabels, BSTR basis,
                                              VARIANT* results) override {
        KORVID_CHECK(results);
        KORVID_CALL(KORVID_SHAPES(GetTwoPhaseProp, property, phaseLabels, basis);
                    Logic().GetTwoPhaseProp(Text(property), phaseLabels, Text(basis), results));
    }
    HRESULT STDMETHODCALLTYPE SetOverallProp(BSTR property, BSTR basis, VARIANT values) override {
        KORVID_CALL(KORVID_SHAPES(SetOverallProp, property, basis, values);
                    Logic().SetOverallProp(Text(property), Text(basis), values));
    }
    HRESULT STDMETHODCALLTYPE SetPresentPhases(VARIANT phaseLabels, VARIANT phaseStatus) override {
        KORVID_CALL(KORVID_SHAPES(SetPresentPhases, phaseLabels, phaseStatus);
                    Logic().SetPresentPhases(phaseLabels, phaseStatus));
    }
    HRESULT STDMETHODCALLTYPE SetSinglePhaseProp(BSTR property, BSTR phaseLabel, BSTR basis,
                                                 VARIANT values) override {
        KORVID_CALL(
            KORVID_SHAPES(SetSinglePhaseProp, property, phaseLabel, basis, values);
            Logic().SetSinglePhaseProp(Text(property), Text(phaseLabel), Text(basis), values));
    }
    HRESULT STDMETHODCALLTYPE SetTwoPhaseProp(BSTR property, VARIANT phaseLabels, BSTR basis,
                                              VARIANT values) override {
        KORVID_CALL(KORVID_SHAPES(SetTwoPhaseProp, property, phaseLabels, basis, values);
                    Logic().SetTwoPhaseProp(Text(property), phaseLabels, Text(basis), values));
    }
};

class Compounds final : public Facet<ICapeThermoCompounds, &IID_ICapeThermoCompounds> {
public:
    using DispatchFacet::DispatchFacet;
    static constexpr const IID& kIid = IID_ICapeThermoCompounds;
    HRESULT STDMETHODCALLTYPE GetCompoundConstant(VARIANT props, VARIANT compIds,
                                                  VARIANT* propVals) override {
        KORVID_CHECK(propVals);
        KORVID_CALL(KORVID_SHAPES(GetCompoundConstant, props, compIds);
                    Logic().GetCompoundConstant(props, compIds, propVals));
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
    HRESULT STDMETHODCALLTYPE GetPDependentProperty(VARIANT props, double pressure, VARIANT compIds,
                                                    VARIANT* vals) override {
        KORVID_CHECK(vals);
        KORVID_CALL(KORVID_SHAPES(GetPDependentProperty, props, pressure, compIds);
                    Logic().GetPDependentProperty(props, pressure, compIds, vals));
    }
    HRESULT STDMETHODCALLTYPE GetPDependentPropList(VARIANT* props) override {
        KORVID_OUT_VARIANT(props, Logic().GetPDependentPropList());
    }
    HRESULT STDMETHODCALLTYPE GetTDependentProperty(VARIANT props, double temperature,
                                                    VARIANT compIds, VARIANT* vals) override {
        KORVID_CHECK(vals);
        KORVID_CALL(KORVID_SHAPES(GetTDependentProperty, props, temperature, compIds);
                    Logic().GetTDependentProperty(props, temperature, compIds, vals));
    }
    HRESULT STDMETHODCALLTYPE GetTDependentPropList(VARIANT* props) override {
        KORVID_OUT_VARIANT(props, Logic().GetTDependentPropList());
    }
};

class Phases final : public Facet<ICapeThermoPhases, &IID_ICapeThermoPhases> {
public:
    using DispatchFacet::DispatchFacet;
    static constexpr const IID& kIid = IID_ICapeThermoPhases;
    HRESULT STDMETHODCALLTYPE GetNumPhases(LONG* num) override {
        KORVID_OUT_VALUE(num, static_cast<LONG>(Logic().GetNumPhases()));
    }
    HRESULT STDMETHODCALLTYPE GetPhaseInfo(BSTR phaseLabel, BSTR phaseAttribute,
                                           VARIANT* value) override {
        KORVID_OUT_VARIANT(value, (KORVID_SHAPES(GetPhaseInfo, phaseLabel, phaseAttribute),
                                   Logic().GetPhaseInfo(Text(phaseLabel), Text(phaseAttribute))));
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
    using DispatchFacet::DispatchFacet;
    static constexpr const IID& kIid = IID_ICapeThermoUniversalConstant;
    HRESULT STDMETHODCALLTYPE GetUniversalConstant(BSTR constantId, VARIANT* value) override {
        KORVID_OUT_VARIANT(value, (KORVID_SHAPES(GetUniversalConstant, constantId),
                                   Logic().GetUniversalConstant(Text(constantId))));
    }
    HRESULT STDMETHODCALLTYPE GetUniversalConstantList(VARIANT* ids) override {
        KORVID_OUT_VARIANT(ids, Logic().GetUniversalConstantList());
    }
};

class PropertyRoutine final
    : public Facet<ICapeThermoPropertyRoutine, &IID_ICapeThermoPropertyRoutine> {
public:
    using DispatchFacet::DispatchFacet;
    static constexpr const IID& kIid = IID_ICapeThermoPropertyRoutine;
    HRESULT STDMETHODCALLTYPE CalcAndGetLnPhi(BSTR phaseLabel, double temperature, double pressure,
                                              VARIANT moleNumbers, int fFlags, VARIANT* lnPhi,
                                              VARIANT* dT, VARIANT* dP, VARIANT* dn) override {
        KORVID_CHECK(lnPhi, dT, dP, dn);
        KORVID_CALL(
            KORVID_SHAPES(CalcAndGetLnPhi, phaseLabel, temperature, pressure, moleNumbers, fFlags);
            Logic().CalcAndGetLnPhi(Text(phaseLabel), temperature, pressure, moleNumbers, fFlags,
                                    lnPhi, dT, dP, dn));
    }
    HRESULT STDMETHODCALLTYPE CalcSinglePhaseProp(VARIANT props, BSTR phaseLabel) override {
        KORVID_CALL(KORVID_SHAPES(CalcSinglePhaseProp, props, phaseLabel);
                    Logic().CalcSinglePhaseProp(props, Text(phaseLabel)));
    }
    HRESULT STDMETHODCALLTYPE CalcTwoPhaseProp(VARIANT props, VARIANT phaseLabels) override {
        KORVID_CALL(KORVID_SHAPES(CalcTwoPhaseProp, props, phaseLabels);
                    Logic().CalcTwoPhaseProp(props, phaseLabels));
    }
    HRESULT STDMETHODCALLTYPE CheckSinglePhasePropSpec(BSTR property, BSTR phaseLabel,
                                                       VARIANT_BOOL* valid) override {
        KORVID_OUT_VALUE(
            valid, (KORVID_SHAPES(CheckSinglePhasePropSpec, property, phaseLabel),
                    Bool(Logic().CheckSinglePhasePropSpec(Text(property), Text(phaseLabel)))));
    }
    HRESULT STDMETHODCALLTYPE CheckTwoPhasePropSpec(BSTR property, VARIANT phaseLabels,
                                                    VARIANT_BOOL* valid) override {
        KORVID_OUT_VALUE(valid, (KORVID_SHAPES(CheckTwoPhasePropSpec, property, phaseLabels),
                                 Bool(Logic().CheckTwoPhasePropSpec(Text(property), phaseLabels))));
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
    using DispatchFacet::DispatchFacet;
    static constexpr const IID& kIid = IID_ICapeThermoEquilibriumRoutine;
    HRESULT STDMETHODCALLTYPE CalcEquilibrium(VARIANT specification1, VARIANT specification2,
                                              BSTR solutionType) override {
        KORVID_CALL(KORVID_SHAPES(CalcEquilibrium, specification1, specification2, solutionType);
                    Logic().CalcEquilibrium(specification1, specification2, Text(solutionType)));
    }
    HRESULT STDMETHODCALLTYPE CheckEquilibriumSpec(VARIANT specification1, VARIANT specification2,
                                                   BSTR solutionType,
                                                   VARIANT_BOOL* supported) override {
        KORVID_OUT_VALUE(supported, (KORVID_SHAPES(CheckEquilibriumSpec, specification1,
                                                   specification2, solutionType),
                                     Bool(Logic().CheckEquilibriumSpec(
                                         specification1, specification2, Text(solutionType)))));
    }
};

// --- The error interfaces: the last failure's record ----------------------------

class ErrorRoot final : public Facet<ECapeRoot, &IID_ECapeRoot> {
public:
    using DispatchFacet::DispatchFacet;
    HRESULT STDMETHODCALLTYPE get_name(BSTR* name) override {
        return RunOutBstr(IID_ECapeRoot, name, [&] { return Logic().LastError().name; });
    }
};

class ErrorUser final : public Facet<ECapeUser, &IID_ECapeUser> {
public:
    using DispatchFacet::DispatchFacet;
    static constexpr const IID& kIid = IID_ECapeUser;
    HRESULT STDMETHODCALLTYPE get_code(LONG* code) override {
        KORVID_OUT_VALUE(code, static_cast<LONG>(Logic().LastError().code));
    }
#define KORVID_ERROR_TEXT(member, field)                                         \
    HRESULT STDMETHODCALLTYPE get_##member(BSTR* out) override {                 \
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
    using DispatchFacet::DispatchFacet;
    HRESULT STDMETHODCALLTYPE get_position(short* position) override {
        return RunOutValue(IID_ECapeBadArgument, position,
                           [&] { return static_cast<short>(Logic().LastError().position); });
    }
};

class ErrorBadInvOrder final : public Facet<ECapeBadInvOrder, &IID_ECapeBadInvOrder> {
public:
    using DispatchFacet::DispatchFacet;
    // The material needs no call before another: never raised, nothing requested.
    HRESULT STDMETHODCALLTYPE get_requestedOperation(BSTR* out) override {
        return RunOutBstr(IID_ECapeBadInvOrder, out, [&] { return std::wstring(); });
    }
};

// The error interfaces without members of their own.
template <typename Interface, const IID* Iid>
class PlainError final : public Facet<Interface, Iid> {
public:
    using Facet<Interface, Iid>::DispatchFacet;
};

class LogicAccess final : public Delegating<MaterialObject, IKorvidMaterialLogic> {
public:
    using Delegating::Delegating;
    Material* STDMETHODCALLTYPE Logic() override;
};

}  // namespace korvid::com::material_detail
