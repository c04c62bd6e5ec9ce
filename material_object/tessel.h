// Tessel: the test material object. It holds the object's fixed name tables,
// its copies of the components, its property store and the implementation of
// ICapeIdentification and ICapeThermoMaterialObject. Every operation traces
// its call into the report before doing its work and raises RaisedError
// (automation/com_error.h) to refuse a call.
//
// Arguments arrive as COM gives them (BSTR texts, VARIANTs); results are
// owned com::Variant values that the COM layer hands to the caller.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "automation/argument_shape.h"
#include "automation/variant.h"
#include "material_object/property_store.h"
#include "platform/platform.h"

namespace korvid::material_object {

class Tessel {
public:
    // Runs the start-up sequence: resets the thread's report switch, shows the
    // definition form modally (or, when the host gave the definition up front,
    // runs the form's actions without a window), then builds the tables,
    // component lists and property store. Raises (error 9 with no component)
    // on failure.
    Tessel();
    // Shutdown: closes the report file that is current for the thread.
    ~Tessel();
    Tessel(const Tessel&) = delete;
    Tessel& operator=(const Tessel&) = delete;

    // --- Public members (read/write properties of _Tessel) -------------------
    std::wstring m_fileName;
    com::Variant m_componentIDs;
    com::Variant m_compFormulaes;
    com::Variant m_compBoilTemps;
    com::Variant m_compMolWts;
    com::Variant m_compCASNos;
    com::Variant m_compNames;
    int32_t m_num = 0;
    int32_t i = 0;  // outer loop counter of the operations
    int32_t j = 0;  // inner loop counter of the operations

    // --- ICapeIdentification --------------------------------------------------
    std::wstring ICapeIdentification_get_ComponentName();
    void ICapeIdentification_put_ComponentName(std::wstring_view name);
    std::wstring ICapeIdentification_get_ComponentDescription();
    void ICapeIdentification_put_ComponentDescription(std::wstring_view desc);

    // --- ICapeThermoMaterialObject ------------------------------------------
    com::Variant ICapeThermoMaterialObject_ComponentIds();
    com::Variant ICapeThermoMaterialObject_PhaseIds();
    com::Variant ICapeThermoMaterialObject_GetUniversalConstant(const VARIANT& props);
    com::Variant ICapeThermoMaterialObject_GetComponentConstant(const VARIANT& props,
                                                                const VARIANT& compIds);
    void ICapeThermoMaterialObject_CalcProp(const VARIANT& props, const VARIANT& phases,
                                            std::wstring_view calcType);
    com::Variant ICapeThermoMaterialObject_GetProp(std::wstring_view property,
                                                   std::wstring_view phase,
                                                   const VARIANT& compIds,
                                                   std::wstring_view calcType,
                                                   std::wstring_view basis);
    void ICapeThermoMaterialObject_SetProp(std::wstring_view property, std::wstring_view phase,
                                           const VARIANT& compIds, std::wstring_view calcType,
                                           std::wstring_view basis, const VARIANT& values);
    void ICapeThermoMaterialObject_CalcEquilibrium(std::wstring_view flashType,
                                                   const VARIANT& props);
    void ICapeThermoMaterialObject_SetIndependentVar(const VARIANT& indVars,
                                                     const VARIANT& values);
    com::Variant ICapeThermoMaterialObject_GetIndependentVar(const VARIANT& indVars);
    com::Variant ICapeThermoMaterialObject_PropCheck(const VARIANT& props);
    com::Variant ICapeThermoMaterialObject_AvailableProps();
    void ICapeThermoMaterialObject_RemoveResults(const VARIANT& props);
    // New objects are returned as an owned IDispatch (nullptr on failure).
    IDispatch* ICapeThermoMaterialObject_CreateMaterialObject();
    IDispatch* ICapeThermoMaterialObject_Duplicate();
    com::Variant ICapeThermoMaterialObject_ValidityCheck(const VARIANT& props);
    com::Variant ICapeThermoMaterialObject_GetPropList();
    int32_t ICapeThermoMaterialObject_GetNumComponents();

    // --- Published helpers of _Tessel ----------------------------------------
    com::Variant copyVariant(const VARIANT& value);
    void setFraction(SAFEARRAY** leTableau, VARIANT* LesValeurs);
    void setFractionValue(int16_t* position, SAFEARRAY** leTableau, VARIANT* LesValeurs);
    com::Variant displayRetVal(VARIANT* retVal);
    bool CheckNonCstProp(const VARIANT& props, VARIANT* retVar);
    bool CheckCstProp(const VARIANT& props, VARIANT* retVar);
    bool IsInPhaseList(const VARIANT& uneListe);
    bool CheckComponent(const VARIANT& uneListe);
    int16_t GetCompIndex(const VARIANT& cmp);
    int16_t GetBasisIndex(std::wstring_view base);
    int16_t GetPhaseIndex(std::wstring_view phase);
    bool CheckGlobalVar(const VARIANT& aVar);
    // The slot procedures work on any slot: the object's own or a client's
    // three-dimensional array of doubles.
    com::Variant setValues(SlotRef variable, int16_t Phindex, int16_t Cpindex, int16_t BaIndex,
                           const VARIANT& value);
    com::Variant setVariantValues(SlotRef variable, int16_t Phindex, int16_t Cpindex,
                                  int16_t BaIndex, const VARIANT& value);
    com::Variant GetValues(SlotRef tableau, int16_t Phindex, int16_t Cpindex, int16_t BaIndex);
    com::Variant GetVariantValues(SlotRef tableau, int16_t Phindex, int16_t Cpindex,
                                  int16_t BaIndex);

    // A call whose argument `refused` has a shape no reader may trust (a
    // text that is not a BSTR...): traced as far as it can be read, then
    // refused: error 1 from GetProp and SetProp, whose refusals of their
    // arguments raise it, error 5 from the other operations.
    [[noreturn]] void RefuseArgument(std::wstring_view interfaceName, std::wstring_view operation,
                                     const com::RefusedArgument& refused);

    // Read access for tests and the COM layer.
    int32_t CompCount() const { return compCount; }
    platform::MessageMode MessageBoxMode() const { return messageMode_; }
    const PropertyStore& Store() const { return store_; }
    const std::wstring& ComponentDescription() const { return componentDescription; }

private:
    // Private checks of the constants and independent-variable operations.
    bool IsGlobalVarName(std::wstring_view name) const;
    bool IsComponentConstantName(std::wstring_view name) const;
    bool IsKnownComponentId(std::wstring_view id) const;

    std::wstring componentName;
    std::wstring componentDescription;

    // VARIANT copies of the fixed name tables, made once at creation.
    com::Variant nonConstPropTableCopy_;
    com::Variant constPropTableCopy_;
    com::Variant phaseTableCopy_;
    com::Variant globalVarTableCopy_;

    std::vector<std::wstring> casList;
    std::vector<std::wstring> nameList;
    int32_t compCount = 0;

    std::array<std::wstring, 2> indVarNames;
    std::array<double, 2> indVarValues{};
    // How this object's message boxes are shown: the form's objects show
    // them, those made unattended report them.
    platform::MessageMode messageMode_ = platform::MessageMode::Modal;

    PropertyStore store_;
};

}  // namespace korvid::material_object
