// The searches behind the lookup and validation helpers of Tessel, shared
// by the published procedures (lookups.cpp) and by GetProp and SetProp,
// which check one name at a time without building the one-element array
// that the published procedures take.
//
// Names are compared in upper case, whole strings, nothing trimmed. The
// table entries are plain ASCII, whose upper case is the same in every
// locale; the caller's name is upper-cased with the platform's locale rules.
#pragma once

#include <cstdint>
#include <string_view>

namespace korvid::material_object {

class Tessel;

enum class NameTable {
    NonConstProps,   // 51 names, each also with ".DTemperature" / ".DPressure"
    GlobalVars,      // 15 names, each also with the two derivative suffixes
    AcceptedPhases,  // the first six phase names: IsInPhaseList
    AllPhases,       // all eight phase names: GetPhaseIndex
    ConstProps,      // 37 names, no suffixes
};

// Number of entries a search of `table` runs through (the inner loop's end).
int EntryCount(NameTable table);

// Index of the first entry of `table` that accepts `upperName`, or -1.
int FindName(NameTable table, std::wstring_view upperName);

// What CheckNonCstProp, CheckGlobalVar or IsInPhaseList answer for a
// one-element array holding a name whose upper case is `upperName`. Leaves
// the loop members as those procedures do: i = 1, j = the entry found or the
// entry count.
bool CheckSingleName(Tessel& tessel, NameTable table, std::wstring_view upperName);

// GetPhaseIndex of a phase name already in upper case (loop member i).
int16_t PhaseIndexOfUpper(Tessel& tessel, std::wstring_view upperPhase);
// GetBasisIndex of a basis already in upper case.
int16_t BasisIndexOfUpper(std::wstring_view upperBasis);

}  // namespace korvid::material_object
