// Material: the CAPE-OPEN 1.1 test material object. It takes its compounds
// from the thread's component table at creation (after the definition form,
// or the host's definition without it), keeps the phases set present and
// every value a client sets, and hands them back. It computes no
// thermodynamics: its calculations leave neutral values (routines.cpp).
// Every call writes a block to the thread's trace report, and a refused call
// raises a CapeFailure that the object keeps as its error record.
//
// [in, out] results are cleared first and written only by a call that
// succeeds, except the constants' results: those a table does not give are
// UNDEFINED beside the others, and the warning comes after them. The class
// shares the component table, the definition form, the trace report and the
// argument readers with the 0.9 class and derives from nothing.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/argument_shape.h"
#include "automation/variant.h"
#include "thermo_material/arguments.h"
#include "thermo_material/cape_error.h"
#include "thermo_material/identifiers.h"

namespace korvid::thermo_material {

class CallTrace;

// What the error interfaces tell about the last failed call.
struct ErrorRecord {
    HRESULT code = S_OK;
    std::wstring name;  // "ECapeInvalidArgument"...
    std::wstring description;
    std::wstring scope;
    std::wstring interfaceName;
    std::wstring operation;
    int16_t position = 0;
};

// One call's interface and operation, as the report and the error record name them.
struct Operation {
    std::wstring_view interfaceName;
    std::wstring_view operation;
    std::wstring_view header;  // "<interface>_<operation>"
};

struct Compound {
    std::wstring id;  // the name or the CAS number, as the form's option chose
    component_definition::ComponentRecord record;
};

class Material {
public:
    // Shows the definition form (or runs the host's definition) and takes
    // the compounds; raises where the form cannot finish.
    Material();
    // CreateMaterial's new object: the compounds of `configuration`, no form,
    // no values, no phase present.
    explicit Material(const Material& configuration);
    ~Material();
    Material& operator=(const Material&) = delete;

    const ErrorRecord& LastError() const { return error_; }

    // A call whose argument `refused` has a shape no reader may trust (a
    // text that is not a BSTR...): traced as far as it can be read, then
    // refused with ECapeInvalidArgument.
    [[noreturn]] void RefuseArgument(std::wstring_view interfaceName, std::wstring_view operation,
                                     const com::RefusedArgument& refused);

    int32_t Number() const { return number_; }

    // The [in, out] VARIANT results below come empty: the COM shell frees
    // their old content before any argument is checked, so the operations
    // write them without clearing them again.

    // --- ICapeIdentification -----------------------------------------------
    std::wstring GetComponentName();
    void PutComponentName(std::wstring_view name);
    std::wstring GetComponentDescription();
    void PutComponentDescription(std::wstring_view description);

    // --- ICapeThermoMaterial -----------------------------------------------
    void ClearAllProps();
    // `source` is the logic of another material of this apartment, or
    // nullptr when the argument is no Korvid material.
    void CopyFromMaterial(const Material* source, bool sourceGiven);
    IDispatch* CreateMaterial();
    void GetOverallProp(std::wstring_view property, std::wstring_view basis, VARIANT* results);
    void GetOverallTPFraction(double* temperature, double* pressure, VARIANT* composition);
    void GetPresentPhases(VARIANT* phaseLabels, VARIANT* phaseStatus);
    void GetSinglePhaseProp(std::wstring_view property, std::wstring_view phaseLabel,
                            std::wstring_view basis, VARIANT* results);
    void GetTPFraction(std::wstring_view phaseLabel, double* temperature, double* pressure,
                       VARIANT* composition);
    void GetTwoPhaseProp(std::wstring_view property, const VARIANT& phaseLabels,
                         std::wstring_view basis, VARIANT* results);
    void SetOverallProp(std::wstring_view property, std::wstring_view basis, const VARIANT& values);
    void SetPresentPhases(const VARIANT& phaseLabels, const VARIANT& phaseStatus);
    void SetSinglePhaseProp(std::wstring_view property, std::wstring_view phaseLabel,
                            std::wstring_view basis, const VARIANT& values);
    void SetTwoPhaseProp(std::wstring_view property, const VARIANT& phaseLabels,
                         std::wstring_view basis, const VARIANT& values);

    // --- ICapeThermoCompounds ----------------------------------------------
    // Constants not given in the component table are Empty (UNDEFINED) in
    // the result, which is written before ECapeThrmPropertyNotAvailable names them.
    void GetCompoundConstant(const VARIANT& props, const VARIANT& compIds, VARIANT* propVals);
    // The same for the constants of the list: an empty text, a NaN number.
    void GetCompoundList(VARIANT* compIds, VARIANT* formulae, VARIANT* names, VARIANT* boilTemps,
                         VARIANT* molwts, VARIANT* casnos);
    com::Variant GetConstPropList();
    int32_t GetNumCompounds();
    void GetPDependentProperty(const VARIANT& props, double pressure, const VARIANT& compIds,
                               VARIANT* propVals);
    com::Variant GetPDependentPropList();
    void GetTDependentProperty(const VARIANT& props, double temperature, const VARIANT& compIds,
                               VARIANT* propVals);
    com::Variant GetTDependentPropList();

    // --- ICapeThermoPhases -------------------------------------------------
    int32_t GetNumPhases();
    com::Variant GetPhaseInfo(std::wstring_view phaseLabel, std::wstring_view phaseAttribute);
    void GetPhaseList(VARIANT* phaseLabels, VARIANT* stateOfAggregation, VARIANT* keyCompoundId);

    // --- ICapeThermoUniversalConstant --------------------------------------
    com::Variant GetUniversalConstant(std::wstring_view constantId);
    com::Variant GetUniversalConstantList();

    // --- ICapeThermoPropertyRoutine and ICapeThermoEquilibriumRoutine ------
    void CalcAndGetLnPhi(std::wstring_view phaseLabel, double temperature, double pressure,
                         const VARIANT& moleNumbers, int32_t fFlags, VARIANT* lnPhi,
                         VARIANT* lnPhiDT, VARIANT* lnPhiDP, VARIANT* lnPhiDn);
    void CalcSinglePhaseProp(const VARIANT& props, std::wstring_view phaseLabel);
    void CalcTwoPhaseProp(const VARIANT& props, const VARIANT& phaseLabels);
    bool CheckSinglePhasePropSpec(std::wstring_view property, std::wstring_view phaseLabel);
    bool CheckTwoPhasePropSpec(std::wstring_view property, const VARIANT& phaseLabels);
    com::Variant GetSinglePhasePropList();
    com::Variant GetTwoPhasePropList();
    void CalcEquilibrium(const VARIANT& specification1, const VARIANT& specification2,
                         std::wstring_view solutionType);
    bool CheckEquilibriumSpec(const VARIANT& specification1, const VARIANT& specification2,
                              std::wstring_view solutionType);

private:
    // A value as set: in the basis it was given in.
    struct Stored {
        std::vector<double> values;
        Basis basis;
    };
    // Where a value lives: overall (-1), one phase (its index), or a pair.
    struct Place {
        int first = -1;
        int second = -1;
        bool operator<(const Place& other) const {
            return first != other.first ? first < other.first : second < other.second;
        }
    };
    using Values = std::map<std::pair<Place, std::wstring>, Stored>;

    // Runs one traced call: the header and object line, then `body`; a
    // failure is traced, recorded and raised as its CapeFailure.
    template <typename Body>
    auto Traced(const Operation& op, Body&& body) -> decltype(body(std::declval<CallTrace&>()));
    [[noreturn]] void Failed(const Operation& op, const CapeFailure& failure);

    // Checks of the state operations.
    const Property& CheckProperty(std::wstring_view name, PropertyScope scope, Argument argument);
    size_t CheckPresentPhase(std::wstring_view label, Argument argument);
    Place CheckPhasePair(const VARIANT& labels, Argument argument);
    Basis CheckBasis(const Property& property, std::wstring_view basis, Argument argument);
    void CheckLength(const Property& property, const std::vector<double>& values,
                     Argument argument);

    // The key of `property`'s value at `place`, built in key_, whose
    // capacity stays: a lookup allocates nothing.
    const std::pair<Place, std::wstring>& KeyOf(Place place, const Property& property);
    // The one value of `property` at `place`, replaced by a set on either basis.
    void Store(Place place, const Property& property, Basis basis, std::vector<double> values);
    // The value as set, converted to `basis`; ECapeThrmPropertyNotAvailable
    // when it was never set (a pair of phases: ECapeFailedInitialisation) or
    // cannot be converted.
    std::vector<double> Read(Place place, const Property& property, Basis basis);
    std::vector<double> Converted(Place place, const Property& property, const Stored& stored,
                                  Basis basis);
    // The mole fractions at `place`: its fraction, else its flow normalised;
    // nothing when neither was set or the flow adds up to no amount.
    std::optional<std::vector<double>> MoleFractions(Place place);
    // The molar mass (kg/mol) of the composition at `place`.
    double MolarMass(Place place, std::wstring_view purpose);
    double MolecularWeight(size_t compound, std::wstring_view purpose) const;
    void RemovePhaseValues(int phase);
    // The tail of a Set...Prop and of a Get...Prop once the place is checked,
    // and the T, P and mole fractions at a place.
    void StoreArguments(Place place, const Property& property, std::wstring_view basis,
                        const VARIANT& values, int16_t basisPosition);
    void ReadResults(Place place, const Property& property, std::wstring_view basis,
                     int16_t basisPosition, CallTrace& trace, VARIANT* results);
    void ReadTPFraction(Place place, PropertyScope scope, CallTrace& trace, double* temperature,
                        double* pressure, VARIANT* composition);

    // Of the routines: a calculated property's neutral values, stored and
    // traced; the overall mole fractions a flash starts from.
    void StoreNeutral(Place place, const Property& property, CallTrace& trace);
    std::vector<double> OverallComposition();

    int32_t number_ = 0;
    std::wstring name_;
    std::wstring description_;
    std::vector<Compound> compounds_;
    // The phases present, in the order last set, with their statuses.
    std::vector<std::pair<size_t, long>> present_;
    Values values_;
    std::pair<Place, std::wstring> key_;
    ErrorRecord error_;
    // Shared by a material and the working copies made from it: the report
    // file the form opened closes when the last of them goes.
    std::shared_ptr<struct ReportHold> report_;
};

// A new material's IDispatch, owned by the caller: the COM shell makes it.
IDispatch* NewMaterialDispatch(const Material* configuration);

}  // namespace korvid::thermo_material

// --- Traced, for the operation files ------------------------------------------

#include "thermo_material/call_trace.h"

namespace korvid::thermo_material {

#define KORVID_OPERATION(interfaceName, operation) \
    Operation { L"" #interfaceName, L"" #operation, L"" #interfaceName "_" #operation }

template <typename Body>
auto Material::Traced(const Operation& op, Body&& body)
    -> decltype(body(std::declval<CallTrace&>())) {
    try {
        CallTrace trace(op.header, number_);
        return body(trace);
    } catch (const CapeFailure& failure) {
        Failed(op, failure);
    } catch (const RaisedError& error) {
        Failed(op, AsCapeFailure(error));
    } catch (const std::bad_alloc&) {
        Failed(op, AsCapeFailure(RaisedError{7, kMaterialSource, L"Out of memory"}));
    }
}

}  // namespace korvid::thermo_material
