// Lookup and validation helpers: property, phase, basis and component checks.
//
// The checks loop on the object's public members i (over the caller's list)
// and j (over the table searched), and leave them where the loops stopped:
// a completed loop one past its last index, a search that found its entry at
// that entry. CheckGlobalVar, IsInPhaseList and CheckComponent ignore the
// run-time errors inside them: an argument that is no array answers true, an
// element that cannot be read counts as found (at the table's first entry).
#include "material_object/lookups.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "automation/com_error.h"
#include "component_definition/module_state.h"
#include "material_object/name_tables.h"
#include "material_object/tessel.h"
#include "platform/platform.h"

namespace korvid::material_object {

namespace {

constexpr std::wstring_view kDerivativeSuffixes[] = {L".DTemperature", L".DPressure"};

std::wstring AsciiUpper(std::wstring_view text) {
    std::wstring upper(text);
    for (auto& ch : upper) {
        if (ch >= L'a' && ch <= L'z') ch = static_cast<wchar_t>(ch - L'a' + L'A');
    }
    return upper;
}

// Every accepted spelling of a table's entries, upper-cased, with the first
// entry that accepts it.
class Spellings {
public:
    Spellings(const std::wstring_view* entries, size_t count, bool derivatives)
        : count_(static_cast<int>(count)) {
        texts_.reserve(count * 3);
        for (size_t k = 0; k < count; ++k) {
            texts_.push_back(AsciiUpper(entries[k]));
            if (!derivatives) continue;
            for (auto suffix : kDerivativeSuffixes) {
                texts_.push_back(AsciiUpper(std::wstring(entries[k]) + std::wstring(suffix)));
            }
        }
        const size_t perEntry = derivatives ? 3 : 1;
        for (size_t t = 0; t < texts_.size(); ++t) {
            first_.emplace(texts_[t], static_cast<int>(t / perEntry));  // keeps the first
        }
    }

    int Find(std::wstring_view upper) const {
        auto it = first_.find(upper);
        return it == first_.end() ? -1 : it->second;
    }
    int Count() const { return count_; }

private:
    int count_;
    std::vector<std::wstring> texts_;  // never changes after construction
    std::unordered_map<std::wstring_view, int> first_;
};

const Spellings& TableOf(NameTable table) {
    static const Spellings nonConst(kNonConstPropTable.data(), kNonConstPropTable.size(), true);
    static const Spellings global(kGlobalVarTable.data(), kGlobalVarTable.size(), true);
    static const Spellings accepted(kPhaseTable.data(), 6, false);
    static const Spellings phases(kPhaseTable.data(), kPhaseTable.size(), false);
    static const Spellings constants(kConstPropTable.data(), kConstPropTable.size(), false);
    switch (table) {
        case NameTable::NonConstProps: return nonConst;
        case NameTable::GlobalVars: return global;
        case NameTable::AcceptedPhases: return accepted;
        case NameTable::AllPhases: return phases;
        case NameTable::ConstProps: break;
    }
    return constants;
}

enum class OnError { Raise, CountAsFound };

// CheckNonCstProp, CheckCstProp, CheckGlobalVar and IsInPhaseList over a
// caller's list. `notFound`, when given, receives the string array of the
// elements' texts where they were not found (empty where they were).
bool CheckList(Tessel& tessel, const VARIANT& list, NameTable table, OnError onError,
               VARIANT* notFound) {
    std::optional<com::ArrayArg> array;
    if (onError == OnError::Raise) {
        array = com::ArrayArg::Require(list);
    } else {
        array = com::ArrayArg::Readable(list);
        if (!array) return true;  // no array, or no bounds: LBound failed, the error is ignored
    }
    auto& platform = platform::CurrentPlatform();
    const LCID lcid = platform.Lcid();
    const Spellings& spellings = TableOf(table);
    std::vector<std::wstring> texts;
    if (notFound && array->HasElements()) {
        texts.resize(static_cast<size_t>(int64_t{array->Upper()} - array->Lower() + 1));
    }
    bool result = true;
    int64_t k = array->Lower();
    tessel.i = static_cast<int32_t>(k);
    for (; k <= array->Upper(); tessel.i = static_cast<int32_t>(++k)) {
        std::wstring text;
        try {
            text = array->ElementAsText(static_cast<LONG>(k), lcid);
        } catch (const RaisedError&) {
            if (onError == OnError::Raise) throw;
            tessel.j = 0;  // the first comparison failed: taken as a match
            continue;
        }
        const int found = spellings.Find(platform.UpperCase(text));
        tessel.j = found >= 0 ? found : spellings.Count();
        if (found < 0) {
            result = false;
            if (notFound) texts[static_cast<size_t>(k - array->Lower())] = std::move(text);
        }
    }
    if (notFound) com::Assign(notFound, com::MakeStringArray(texts, array->Lower()));
    return result;
}

// An identifier list (m_componentIDs or m_compNames) read once, upper-cased;
// an entry that cannot be read stays empty and matches every element.
struct IdentifierList {
    std::optional<com::ArrayArg> array;
    std::vector<std::optional<std::wstring>> upper;

    IdentifierList(const VARIANT& ids, platform::Platform& platform)
        : array(com::ArrayArg::Readable(ids)) {
        if (!array || !array->HasElements()) return;
        const LCID lcid = platform.Lcid();
        for (int64_t k = array->Lower(); k <= array->Upper(); ++k) {
            try {
                upper.emplace_back(
                    platform.UpperCase(array->ElementAsText(static_cast<LONG>(k), lcid)));
            } catch (const RaisedError&) {
                upper.emplace_back();
            }
        }
    }
};

}  // namespace

int EntryCount(NameTable table) { return TableOf(table).Count(); }

int FindName(NameTable table, std::wstring_view upperName) {
    return TableOf(table).Find(upperName);
}

bool CheckSingleName(Tessel& tessel, NameTable table, std::wstring_view upperName) {
    const int found = FindName(table, upperName);
    tessel.i = 1;
    tessel.j = found >= 0 ? found : EntryCount(table);
    return found >= 0;
}

int16_t PhaseIndexOfUpper(Tessel& tessel, std::wstring_view upperPhase) {
    const int found = FindName(NameTable::AllPhases, upperPhase);
    tessel.i = found >= 0 ? found : EntryCount(NameTable::AllPhases);
    return static_cast<int16_t>(found);
}

int16_t BasisIndexOfUpper(std::wstring_view upperBasis) {
    if (upperBasis == L"MOLE" || upperBasis == L"MOLES") return 0;
    if (upperBasis == L"MASS") return 1;
    return -1;
}

bool Tessel::CheckNonCstProp(const VARIANT& props, VARIANT* retVar) {
    return CheckList(*this, props, NameTable::NonConstProps, OnError::Raise, retVar);
}

bool Tessel::CheckCstProp(const VARIANT& props, VARIANT* retVar) {
    return CheckList(*this, props, NameTable::ConstProps, OnError::Raise, retVar);
}

bool Tessel::CheckGlobalVar(const VARIANT& aVar) {
    return CheckList(*this, aVar, NameTable::GlobalVars, OnError::CountAsFound, nullptr);
}

bool Tessel::IsInPhaseList(const VARIANT& uneListe) {
    return CheckList(*this, uneListe, NameTable::AcceptedPhases, OnError::CountAsFound, nullptr);
}

bool Tessel::CheckComponent(const VARIANT& uneListe) {
    if (com::IsEmpty(uneListe)) return true;  // every component
    std::optional<com::ArrayArg> array = com::ArrayArg::Readable(uneListe);
    if (!array) return true;  // no array, or no bounds: LBound failed, the error is ignored
    auto& platform = platform::CurrentPlatform();
    const LCID lcid = platform.Lcid();
    const bool byCas = component_definition::Module1().g_useCasAsId;
    std::optional<IdentifierList> ids;
    bool result = true;
    int64_t k = array->Lower();
    i = static_cast<int32_t>(k);
    for (; k <= array->Upper(); i = static_cast<int32_t>(++k)) {
        if (!ids) ids.emplace(byCas ? *m_componentIDs : *m_compNames, platform);
        std::wstring upper;
        try {
            upper = platform.UpperCase(array->ElementAsText(static_cast<LONG>(k), lcid));
        } catch (const RaisedError&) {
            if (ids->array) j = ids->array->Lower();  // the first comparison failed
            continue;
        }
        if (!ids->array) continue;  // the identifier list is no array: counts as found
        const int64_t lower = ids->array->Lower();
        bool found = false;
        int64_t entry = lower;
        for (; entry <= ids->array->Upper(); ++entry) {
            const auto& id = ids->upper[static_cast<size_t>(entry - lower)];
            if (!id || *id == upper) {
                found = true;
                break;
            }
        }
        j = static_cast<int32_t>(entry);
        if (!found) result = false;
    }
    return result;
}

// Always every component: the store is never addressed one component at a time.
int16_t Tessel::GetCompIndex(const VARIANT&) { return -1; }

int16_t Tessel::GetBasisIndex(std::wstring_view base) {
    return BasisIndexOfUpper(platform::CurrentPlatform().UpperCase(base));
}

int16_t Tessel::GetPhaseIndex(std::wstring_view phase) {
    return PhaseIndexOfUpper(*this, platform::CurrentPlatform().UpperCase(phase));
}

}  // namespace korvid::material_object
