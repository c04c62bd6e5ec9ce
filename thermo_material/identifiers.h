// The identifiers the CAPE-OPEN 1.1 material publishes: its fixed phase
// list, the properties it stores, the compound constants it serves from the
// component table and the universal constants. Every identifier a client
// passes is compared with these without regard to case.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "component_definition/component_record.h"

namespace korvid::thermo_material {

struct Phase {
    std::wstring_view label;
    std::wstring_view stateOfAggregation;
    std::wstring_view densityDescription;  // empty: none
    std::wstring_view userDescription;
};

// Vapor, Liquid, Liquid2, Solid: the phases every material supports. No phase
// has a key compound.
inline constexpr std::array<Phase, 4> kPhases = {{
    {L"Vapor", L"Vapor", L"", L"Vapour or gas"},
    {L"Liquid", L"Liquid", L"Light", L"The first liquid phase"},
    {L"Liquid2", L"Liquid", L"Heavy", L"The second liquid phase"},
    {L"Solid", L"Solid", L"", L"Solid"},
}};

// How a property's values depend on the basis. A place (overall, a phase)
// keeps one value per property, in the basis it was given in; a read in the
// other basis converts it through the molecular weights (g/mol) of the
// compounds and M, the molar mass (kg/mol) of the place's composition.
enum class BasisUse {
    None,         // no basis: any basis given is ignored
    PerAmount,    // J/mol, m3/mol, J/(mol K): Mass = Mole / M
    AmountPer,    // mol/m3, mol/s (density, totalFlow): Mass = Mole x M
    PerCompound,  // flow: kg/s = mol/s x the compound's own molecular weight / 1000
    Fraction,     // fraction: mass fractions from mole fractions, and back
    PhaseShare,   // phaseFraction: Mass = Mole x M of the phase / M overall
};

// Where a property may be set and read.
enum PropertyScope : unsigned {
    kOverall = 1,
    kSinglePhase = 2,
    kCalculated = 4,  // in the single-phase list of the property routine
    kTwoPhase = 8,
};

struct Property {
    std::wstring_view name;
    bool perCompound;  // one value per compound; else one value
    BasisUse basis;
    unsigned scopes;
};

// The property `name` names (any case) within `scope`, or nullptr.
const Property* FindProperty(std::wstring_view name, PropertyScope scope);
// The names of the properties of `scope`, in table order.
std::vector<std::wstring> PropertyNames(PropertyScope scope);

// Index into kPhases of the label (any case), or nothing.
std::optional<size_t> FindPhase(std::wstring_view label);

// A compound constant the component table holds, in its column of the table
// (component_record.h): a text (columns 0..3) or a number.
struct CompoundConstant {
    std::wstring_view name;
    int column;
};
const CompoundConstant* FindCompoundConstant(std::wstring_view name);
std::vector<std::wstring> CompoundConstantNames();

struct UniversalConstant {
    std::wstring_view name;
    double value;
};
inline constexpr std::array<UniversalConstant, 6> kUniversalConstants = {{
    {L"avogadroConstant", 6.02214076e23},
    {L"boltzmannConstant", 1.380649e-23},
    {L"idealGasStateReferencePressure", 101325.0},
    {L"molarGasConstant", 8.314462618},
    {L"speedOfLightInVacuum", 299792458.0},
    {L"standardAccelerationOfGravity", 9.80665},
}};

// True when the two identifiers are equal without regard to case.
bool SameIdentifier(std::wstring_view a, std::wstring_view b);

}  // namespace korvid::thermo_material
