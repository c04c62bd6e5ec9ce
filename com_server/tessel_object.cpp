#include "com_server/tessel_object.h"

#include <array>
#include <memory>
#include <new>

#include "automation/com_error.h"
#include "automation/variant.h"
#include "com_server/com_call.h"
#include "com_server/default_dispatch.h"
#include "com_server/dispatch_facet.h"
#include "com_server/type_library.h"
#include "material_object/new_tessel.h"
#include "material_object/tessel.h"

namespace korvid::com {

namespace {

using material_object::Tessel;

class TesselObject;

// The interfaces of a TesselObject, each a facet that forwards to the logic.
template <typename Interface, const IID* Iid>
using Facet = DispatchFacet<TesselObject, Tessel, Interface, Iid>;

// --- ICapeIdentification --------------------------------------------------------

class Identification final : public Facet<ICapeIdentification, &IID_ICapeIdentification> {
public:
    using DispatchFacet::DispatchFacet;

    HRESULT STDMETHODCALLTYPE get_ComponentName(BSTR* name) override {
        return RunOutBstr(IID_ICapeIdentification, name,
                          [&] { return Logic().ICapeIdentification_get_ComponentName(); });
    }
    HRESULT STDMETHODCALLTYPE put_ComponentName(BSTR name) override {
        return Run(IID_ICapeIdentification, [&] {
            KORVID_SHAPES(ComponentName, name);
            Logic().ICapeIdentification_put_ComponentName(Text(name));
        });
    }
    HRESULT STDMETHODCALLTYPE get_ComponentDescription(BSTR* desc) override {
        return RunOutBstr(IID_ICapeIdentification, desc,
                          [&] { return Logic().ICapeIdentification_get_ComponentDescription(); });
    }
    HRESULT STDMETHODCALLTYPE put_ComponentDescription(BSTR desc) override {
        return Run(IID_ICapeIdentification, [&] {
            KORVID_SHAPES(ComponentDescription, desc);
            Logic().ICapeIdentification_put_ComponentDescription(Text(desc));
        });
    }
};

// --- ICapeThermoMaterialObject --------------------------------------------------

class Thermo final : public Facet<ICapeThermoMaterialObject, &IID_ICapeThermoMaterialObject> {
public:
    using DispatchFacet::DispatchFacet;
    static constexpr const IID& kIid = IID_ICapeThermoMaterialObject;

    HRESULT STDMETHODCALLTYPE get_ComponentIds(VARIANT* compIds) override {
        return RunOutVariant(kIid, compIds,
                             [&] { return Logic().ICapeThermoMaterialObject_ComponentIds(); });
    }
    HRESULT STDMETHODCALLTYPE get_PhaseIds(VARIANT* phaseIds) override {
        return RunOutVariant(kIid, phaseIds,
                             [&] { return Logic().ICapeThermoMaterialObject_PhaseIds(); });
    }
    HRESULT STDMETHODCALLTYPE GetUniversalConstant(VARIANT props, VARIANT* propVals) override {
        return RunOutVariant(kIid, propVals, [&] {
            KORVID_SHAPES(GetUniversalConstant, props);
            return Logic().ICapeThermoMaterialObject_GetUniversalConstant(props);
        });
    }
    HRESULT STDMETHODCALLTYPE GetComponentConstant(VARIANT props, VARIANT compIds,
                                                   VARIANT* propVals) override {
        return RunOutVariant(kIid, propVals, [&] {
            KORVID_SHAPES(GetComponentConstant, props, compIds);
            return Logic().ICapeThermoMaterialObject_GetComponentConstant(props, compIds);
        });
    }
    HRESULT STDMETHODCALLTYPE CalcProp(VARIANT props, VARIANT phases, BSTR calcType) override {
        return Run(kIid, [&] {
            KORVID_SHAPES(CalcProp, props, phases, calcType);
            Logic().ICapeThermoMaterialObject_CalcProp(props, phases, Text(calcType));
        });
    }
    HRESULT STDMETHODCALLTYPE GetProp(BSTR property, BSTR phase, VARIANT compIds, BSTR calcType,
                                      BSTR basis, VARIANT* results) override {
        return RunOutVariant(kIid, results, [&] {
            KORVID_SHAPES(GetProp, property, phase, compIds, calcType, basis);
            return Logic().ICapeThermoMaterialObject_GetProp(Text(property), Text(phase), compIds,
                                                             Text(calcType), Text(basis));
        });
    }
    HRESULT STDMETHODCALLTYPE SetProp(BSTR property, BSTR phase, VARIANT compIds, BSTR calcType,
                                      BSTR basis, VARIANT values) override {
        return Run(kIid, [&] {
            KORVID_SHAPES(SetProp, property, phase, compIds, calcType, basis, values);
            Logic().ICapeThermoMaterialObject_SetProp(Text(property), Text(phase), compIds,
                                                      Text(calcType), Text(basis), values);
        });
    }
    HRESULT STDMETHODCALLTYPE CalcEquilibrium(BSTR flashType, VARIANT props) override {
        return Run(kIid, [&] {
            KORVID_SHAPES(CalcEquilibrium, flashType, props);
            Logic().ICapeThermoMaterialObject_CalcEquilibrium(Text(flashType), props);
        });
    }
    HRESULT STDMETHODCALLTYPE SetIndependentVar(VARIANT indVars, VARIANT values) override {
        return Run(kIid, [&] {
            KORVID_SHAPES(SetIndependentVar, indVars, values);
            Logic().ICapeThermoMaterialObject_SetIndependentVar(indVars, values);
        });
    }
    HRESULT STDMETHODCALLTYPE GetIndependentVar(VARIANT indVars, VARIANT* values) override {
        return RunOutVariant(kIid, values, [&] {
            KORVID_SHAPES(GetIndependentVar, indVars);
            return Logic().ICapeThermoMaterialObject_GetIndependentVar(indVars);
        });
    }
    HRESULT STDMETHODCALLTYPE PropCheck(VARIANT props, VARIANT* valid) override {
        return RunOutVariant(kIid, valid, [&] {
            KORVID_SHAPES(PropCheck, props);
            return Logic().ICapeThermoMaterialObject_PropCheck(props);
        });
    }
    HRESULT STDMETHODCALLTYPE AvailableProps(VARIANT* props) override {
        return RunOutVariant(kIid, props,
                             [&] { return Logic().ICapeThermoMaterialObject_AvailableProps(); });
    }
    HRESULT STDMETHODCALLTYPE RemoveResults(VARIANT props) override {
        return Run(kIid, [&] {
            KORVID_SHAPES(RemoveResults, props);
            Logic().ICapeThermoMaterialObject_RemoveResults(props);
        });
    }
    HRESULT STDMETHODCALLTYPE CreateMaterialObject(IDispatch** materialObject) override {
        return RunOutValue(kIid, materialObject, [&] {
            return Logic().ICapeThermoMaterialObject_CreateMaterialObject();
        });
    }
    HRESULT STDMETHODCALLTYPE Duplicate(IDispatch** clone) override {
        return RunOutValue(kIid, clone,
                           [&] { return Logic().ICapeThermoMaterialObject_Duplicate(); });
    }
    HRESULT STDMETHODCALLTYPE ValidityCheck(VARIANT props, VARIANT* relList) override {
        return RunOutVariant(kIid, relList, [&] {
            KORVID_SHAPES(ValidityCheck, props);
            return Logic().ICapeThermoMaterialObject_ValidityCheck(props);
        });
    }
    HRESULT STDMETHODCALLTYPE GetPropList(VARIANT* props) override {
        return RunOutVariant(kIid, props,
                             [&] { return Logic().ICapeThermoMaterialObject_GetPropList(); });
    }
    HRESULT STDMETHODCALLTYPE GetNumComponents(LONG* numComp) override {
        return RunOutValue(kIid, numComp, [&] {
            return static_cast<LONG>(Logic().ICapeThermoMaterialObject_GetNumComponents());
        });
    }
};

// --- _Tessel ------------------------------------------------------------------------

// The default interface, whose IDispatch also answers the names of the
// CAPE-OPEN operations (ICapeThermoMaterialObject's at 1000 + their own
// DISPIDs, ICapeIdentification's at 2000 +).
class Default final : public DefaultFacet<TesselObject, Tessel, _Tessel, &IID__Tessel> {
public:
    using DefaultFacet::DefaultFacet;
    static constexpr const IID& kIid = IID__Tessel;

    // Public members.
    HRESULT STDMETHODCALLTYPE get_m_fileName(BSTR* value) override {
        return RunOutBstr(kIid, value, [&] { return Logic().m_fileName; });
    }
    HRESULT STDMETHODCALLTYPE put_m_fileName(BSTR value) override {
        return Run(kIid, [&] {
            KORVID_SHAPES(m_fileName, value);
            Logic().m_fileName = Text(value);
        });
    }
#define KORVID_VARIANT_MEMBER(member)                                                        \
    HRESULT STDMETHODCALLTYPE get_##member(VARIANT* value) override {                        \
        return RunOutVariant(kIid, value, [&] { return Variant::CopyOf(*Logic().member); }); \
    }                                                                                        \
    HRESULT STDMETHODCALLTYPE put_##member(VARIANT value) override {                         \
        return Run(kIid, [&] {                                                               \
            KORVID_SHAPES(member, value);                                                    \
            Logic().member = Variant::IndependentCopyOf(value);                              \
        });                                                                                  \
    }                                                                                        \
    HRESULT STDMETHODCALLTYPE putref_##member(VARIANT value) override {                      \
        return put_##member(value);                                                          \
    }
    KORVID_VARIANT_MEMBER(m_componentIDs)
    KORVID_VARIANT_MEMBER(m_compFormulaes)
    KORVID_VARIANT_MEMBER(m_compBoilTemps)
    KORVID_VARIANT_MEMBER(m_compMolWts)
    KORVID_VARIANT_MEMBER(m_compCASNos)
    KORVID_VARIANT_MEMBER(m_compNames)
#undef KORVID_VARIANT_MEMBER
#define KORVID_LONG_MEMBER(member)                                                          \
    HRESULT STDMETHODCALLTYPE get_##member(LONG* value) override {                          \
        return RunOutValue(kIid, value, [&] { return static_cast<LONG>(Logic().member); }); \
    }                                                                                       \
    HRESULT STDMETHODCALLTYPE put_##member(LONG value) override {                           \
        return Run(kIid, [&] { Logic().member = value; });                                  \
    }
    KORVID_LONG_MEMBER(m_num)
    KORVID_LONG_MEMBER(i)
    KORVID_LONG_MEMBER(j)
#undef KORVID_LONG_MEMBER

    // Published methods.
    HRESULT STDMETHODCALLTYPE copyVariant(VARIANT value, VARIANT* result) override {
        return RunOutVariant(kIid, result, [&] {
            KORVID_SHAPES(copyVariant, value);
            return Logic().copyVariant(value);
        });
    }
    HRESULT STDMETHODCALLTYPE setFraction(SAFEARRAY** leTableau, VARIANT* LesValeurs) override {
        if (!leTableau || !LesValeurs) return E_POINTER;
        return Run(kIid, [&] {
            KORVID_SHAPES(setFraction, leTableau, LesValeurs);
            Logic().setFraction(leTableau, LesValeurs);
        });
    }
    HRESULT STDMETHODCALLTYPE setFractionValue(short* position, SAFEARRAY** leTableau,
                                               VARIANT* LesValeurs) override {
        if (!position || !leTableau || !LesValeurs) return E_POINTER;
        return Run(kIid, [&] {
            KORVID_SHAPES(setFractionValue, position, leTableau, LesValeurs);
            Logic().setFractionValue(position, leTableau, LesValeurs);
        });
    }
    HRESULT STDMETHODCALLTYPE displayRetVal(VARIANT* retVal, VARIANT* result) override {
        if (!retVal) return E_POINTER;
        return RunOutVariant(kIid, result, [&] {
            KORVID_SHAPES(displayRetVal, retVal);
            return Logic().displayRetVal(retVal);
        });
    }
    HRESULT STDMETHODCALLTYPE CheckNonCstProp(VARIANT* props, VARIANT* retVar,
                                              VARIANT_BOOL* result) override {
        if (!props || !retVar) return E_POINTER;
        return RunOutValue(kIid, result, [&] {
            KORVID_SHAPES(CheckNonCstProp, props, retVar);
            return Bool(Logic().CheckNonCstProp(*props, retVar));
        });
    }
    HRESULT STDMETHODCALLTYPE CheckCstProp(VARIANT* props, VARIANT* retVar,
                                           VARIANT_BOOL* result) override {
        if (!props || !retVar) return E_POINTER;
        return RunOutValue(kIid, result, [&] {
            KORVID_SHAPES(CheckCstProp, props, retVar);
            return Bool(Logic().CheckCstProp(*props, retVar));
        });
    }
    HRESULT STDMETHODCALLTYPE IsInPhaseList(VARIANT* uneListe, VARIANT_BOOL* result) override {
        if (!uneListe) return E_POINTER;
        return RunOutValue(kIid, result, [&] {
            KORVID_SHAPES(IsInPhaseList, uneListe);
            return Bool(Logic().IsInPhaseList(*uneListe));
        });
    }
    HRESULT STDMETHODCALLTYPE CheckComponent(VARIANT* uneListe, VARIANT_BOOL* result) override {
        if (!uneListe) return E_POINTER;
        return RunOutValue(kIid, result, [&] {
            KORVID_SHAPES(CheckComponent, uneListe);
            return Bool(Logic().CheckComponent(*uneListe));
        });
    }
    HRESULT STDMETHODCALLTYPE GetCompIndex(VARIANT* cmp, short* result) override {
        if (!cmp) return E_POINTER;
        return RunOutValue(kIid, result, [&] {
            KORVID_SHAPES(GetCompIndex, cmp);
            return Logic().GetCompIndex(*cmp);
        });
    }
    HRESULT STDMETHODCALLTYPE GetBasisIndex(BSTR* base, short* result) override {
        if (!base) return E_POINTER;
        return RunOutValue(kIid, result, [&] {
            KORVID_SHAPES(GetBasisIndex, base);
            return Logic().GetBasisIndex(Text(*base));
        });
    }
    HRESULT STDMETHODCALLTYPE GetPhaseIndex(BSTR* phase, short* result) override {
        if (!phase) return E_POINTER;
        return RunOutValue(kIid, result, [&] {
            KORVID_SHAPES(GetPhaseIndex, phase);
            return Logic().GetPhaseIndex(Text(*phase));
        });
    }
    HRESULT STDMETHODCALLTYPE CheckGlobalVar(VARIANT* aVar, VARIANT_BOOL* result) override {
        if (!aVar) return E_POINTER;
        return RunOutValue(kIid, result, [&] {
            KORVID_SHAPES(CheckGlobalVar, aVar);
            return Bool(Logic().CheckGlobalVar(*aVar));
        });
    }
    HRESULT STDMETHODCALLTYPE setValues(SAFEARRAY** variable, short* Phindex, short* Cpindex,
                                        short* BaIndex, VARIANT* value, VARIANT* result) override {
        if (!variable || !Phindex || !Cpindex || !BaIndex || !value) return E_POINTER;
        return RunOutVariant(kIid, result, [&] {
            KORVID_SHAPES(setValues, variable, Phindex, Cpindex, BaIndex, value);
            return Logic().setValues(material_object::SlotRef::Client(*variable), *Phindex,
                                     *Cpindex, *BaIndex, *value);
        });
    }
    HRESULT STDMETHODCALLTYPE setVariantValues(SAFEARRAY** variable, short* Phindex, short* Cpindex,
                                               short* BaIndex, VARIANT* value,
                                               VARIANT* result) override {
        if (!variable || !Phindex || !Cpindex || !BaIndex || !value) return E_POINTER;
        return RunOutVariant(kIid, result, [&] {
            KORVID_SHAPES(setVariantValues, variable, Phindex, Cpindex, BaIndex, value);
            return Logic().setVariantValues(material_object::SlotRef::Client(*variable), *Phindex,
                                            *Cpindex, *BaIndex, *value);
        });
    }
    HRESULT STDMETHODCALLTYPE GetValues(SAFEARRAY** tableau, short* Phindex, short* Cpindex,
                                        short* BaIndex, VARIANT* result) override {
        if (!tableau || !Phindex || !Cpindex || !BaIndex) return E_POINTER;
        return RunOutVariant(kIid, result, [&] {
            KORVID_SHAPES(GetValues, tableau);
            return Logic().GetValues(material_object::SlotRef::Client(*tableau), *Phindex, *Cpindex,
                                     *BaIndex);
        });
    }
    HRESULT STDMETHODCALLTYPE GetVariantValues(SAFEARRAY** tableau, short* Phindex, short* Cpindex,
                                               short* BaIndex, VARIANT* result) override {
        if (!tableau || !Phindex || !Cpindex || !BaIndex) return E_POINTER;
        return RunOutVariant(kIid, result, [&] {
            KORVID_SHAPES(GetVariantValues, tableau);
            return Logic().GetVariantValues(material_object::SlotRef::Client(*tableau), *Phindex,
                                            *Cpindex, *BaIndex);
        });
    }
};

// One Tessel as a COM object.
class TesselObject final : public FacetedObject<TesselObject> {
public:
    TesselObject() : default_(this), identification_(this), thermo_(this) {}

    // Runs the start-up; raises its error.
    void Start() { logic_ = std::make_unique<Tessel>(); }

    Tessel& Logic() { return *logic_; }

    // Its interfaces in the order in which the default IDispatch looks up names.
    std::array<Face, 3> Faces() {
        return {{{&IID__Tessel, static_cast<_Tessel*>(&default_)},
                 {&IID_ICapeThermoMaterialObject, &thermo_},
                 {&IID_ICapeIdentification, &identification_}}};
    }

private:
    Default default_;
    Identification identification_;
    Thermo thermo_;
    std::unique_ptr<Tessel> logic_;
};

}  // namespace

HRESULT CreateTesselObject(REFIID iid, void** result) {
    return CreateObject<TesselObject>(IID__Tessel, iid, result,
                                      [](TesselObject& object) { object.Start(); });
}

}  // namespace korvid::com

namespace korvid::material_object {

// The cloning operations' new objects come from the shell.
IDispatch* NewTesselDispatch() {
    return com::NewObject<com::TesselObject>([](com::TesselObject& object) { object.Start(); });
}

}  // namespace korvid::material_object
