// GetProp and SetProp: trace the call and its arguments, check the property,
// phase, components and basis in that order (the first failure refuses the
// call), then read or write the property store.
#include <optional>
#include <string>

#include "automation/com_error.h"
#include "component_definition/module_state.h"
#include "material_object/lookups.h"
#include "material_object/property_store.h"
#include "material_object/tessel.h"
#include "component_definition/trace_report.h"
#include "platform/platform.h"

namespace korvid::material_object {

using component_definition::kSeparator;
using component_definition::ReportOn;
using component_definition::TraceFlush;
using component_definition::TraceLines;
using component_definition::WriteTraceLine;

namespace {

using namespace std::string_view_literals;

constexpr std::wstring_view kGetPropSource = L"ICapeThermoMaterialObject.GetProp";
constexpr std::wstring_view kSetPropSource = L"ICapeThermoMaterialObject.SetProp";

std::wstring Concat(std::wstring_view a, std::wstring_view b, std::wstring_view c = {}) {
    std::wstring text;
    text.reserve(a.size() + b.size() + c.size());
    return text.append(a).append(b).append(c);
}

// The argument lines begin with TAB, a label with its trailing blanks and
// TAB; the prefixes below hold all three.
platform::TextBuffer& Begin(platform::TextBuffer& line, std::wstring_view prefix) {
    line.clear();
    line.Append(prefix);
    return line;
}

// The array behind an argument already known to be of an array type; error 9
// when none stands behind it. Looked up only where the array is first used.
const com::ArrayArg& Behind(const std::optional<com::ArrayArg>& array) {
    if (!array) RaiseRuntime(kSubscriptOutOfRange);
    return *array;
}

// The argument dump of SetProp. Its label widths differ between the three
// forms, which depend on whether `values` and `compIds` hold arrays.
void DumpSetPropArguments(TraceLines& trace, Tessel& tessel, std::wstring_view property,
                          std::wstring_view phase, const VARIANT& compIds,
                          std::wstring_view calcType, std::wstring_view basis,
                          const VARIANT& values) {
    const LCID lcid = platform::CurrentPlatform().Lcid();
    platform::TextBuffer& line = trace.Scratch();
    if (!com::IsArray(values)) {
        trace.Write({L"\tProp       \t"sv, property});
        trace.Write({L"\tPhase    \t"sv, phase});
        com::AppendText(Begin(line, L"\tCompIds\t"sv), compIds, lcid);
        trace.Write(line.View());
        trace.Write({L"\tCalcType\t"sv, calcType});
        trace.Write({L"\tBasis     \t"sv, basis});
        com::AppendText(Begin(line, L"\tValues   \t"sv), values, lcid);
        trace.Write(line.View());
        trace.Write(kSeparator);
        return;
    }
    const std::optional<com::ArrayArg> valueArray = com::ArrayArg::Readable(values);
    if (com::IsArray(compIds)) {
        // Seven lines per identifier, each with the value of the same index.
        const com::ArrayArg ids = com::ArrayArg::Require(compIds);
        int64_t k = ids.Lower();
        for (tessel.i = static_cast<int32_t>(k); k <= ids.Upper();
             tessel.i = static_cast<int32_t>(++k)) {
            const LONG index = static_cast<LONG>(k);
            trace.Write({L"\tProp         \t"sv, property});
            trace.Write({L"\tPhase       \t"sv, phase});
            ids.AppendElementName(Begin(line, L"\tCompIds   \t"sv), index);
            trace.Write(line.View());
            trace.Write({L"\tCalcType\t"sv, calcType});
            trace.Write({L"\tBasis        \t"sv, basis});
            Behind(valueArray).AppendElementText(Begin(line, L"\tValues      \t"sv), index, lcid);
            trace.Write(line.View());
            trace.Write(kSeparator);
        }
        return;
    }
    trace.Write({L"\tProp       \t"sv, property});
    trace.Write({L"\tPhase    \t"sv, phase});
    trace.Write(L"\tCompIds   \tAll components"sv);
    trace.Write({L"\tCalcType\t"sv, calcType});
    trace.Write({L"\tBasis     \t"sv, basis});
    trace.Write(L"\tValues"sv);
    const com::ArrayArg& valuesArray = Behind(valueArray);
    if (valuesArray.Upper() != valuesArray.Lower()) {
        // One line per value, named by the component id of the same index.
        std::optional<com::ArrayArg> ids;
        int64_t k = valuesArray.Lower();
        for (tessel.i = static_cast<int32_t>(k); k <= valuesArray.Upper();
             tessel.i = static_cast<int32_t>(++k)) {
            const LONG index = static_cast<LONG>(k);
            if (!ids) ids = com::ArrayArg::Require(*tessel.m_componentIDs);
            ids->AppendElementName(Begin(line, L"\t\t"sv), index);
            line.Append(L":\t"sv);
            valuesArray.AppendElementText(line, index, lcid);
            trace.Write(line.View());
        }
    } else {
        valuesArray.AppendElementText(Begin(line, L"\t\tAll :\t"sv), 0, lcid);
        trace.Write(line.View());
    }
    trace.Write(kSeparator);
}

// The argument dump of GetProp: six lines, or six per identifier.
void DumpGetPropArguments(TraceLines& trace, Tessel& tessel, std::wstring_view property,
                          std::wstring_view phase, const VARIANT& compIds,
                          std::wstring_view calcType, std::wstring_view basis) {
    if (!com::IsArray(compIds)) {
        trace.Write({L"\tProp      \t"sv, property});
        trace.Write({L"\tPhase    \t"sv, phase});
        trace.Write(L"\tCompIds\tAll components"sv);
        trace.Write({L"\tCalcType\t"sv, calcType});
        trace.Write({L"\tbasis      \t"sv, basis});
        trace.Write(kSeparator);
        return;
    }
    platform::TextBuffer& line = trace.Scratch();
    const com::ArrayArg ids = com::ArrayArg::Require(compIds);
    int64_t k = ids.Lower();
    for (tessel.i = static_cast<int32_t>(k); k <= ids.Upper();
         tessel.i = static_cast<int32_t>(++k)) {
        trace.Write({L"\tProp         \t"sv, property});
        trace.Write({L"\tPhase      \t"sv, phase});
        ids.AppendElementName(Begin(line, L"\tCompIds\t"sv), static_cast<LONG>(k));
        trace.Write(line.View());
        trace.Write({L"\tCalcType\t"sv, calcType});
        trace.Write({L"\tbasis        \t"sv, basis});
        trace.Write(kSeparator);
    }
}

[[noreturn]] void RefuseComponents(std::wstring_view source, platform::MessageMode mode) {
    auto& module = component_definition::Module1();
    if (!module.g_pppWarned) {
        component_definition::ShowObjectMessage(
            mode, L"Error MO Components do not match with PPP components", L"Korvid",
            platform::MessageIcon::None);
        module.g_pppWarned = true;
    }
    Raise(1, std::wstring(source), Concat(L"Error from Korvid.", source, L": Invalid Components."));
}

// The store cells a call addresses.
struct Address {
    int key;
    int16_t phase;
    int16_t component;
    int16_t basis;
};

// The checks common to GetProp and SetProp, after the argument dump.
Address CheckArguments(Tessel& tessel, std::wstring_view source, std::wstring_view property,
                       std::wstring_view phase, const VARIANT& compIds, std::wstring_view basis) {
    auto& platform = platform::CurrentPlatform();
    const std::wstring upperProperty = platform.UpperCase(property);
    if (!CheckSingleName(tessel, NameTable::NonConstProps, upperProperty) &&
        !CheckSingleName(tessel, NameTable::GlobalVars, upperProperty)) {
        Raise(1, std::wstring(source),
              Concat(property, L" is not supported by this material object"));
    }
    const std::wstring_view phaseName = phase.empty() ? L"overall" : phase;
    const std::wstring upperPhase = platform.UpperCase(phaseName);
    if (!CheckSingleName(tessel, NameTable::AcceptedPhases, upperPhase)) {
        Raise(1, std::wstring(source),
              Concat(phaseName, L" is not supported by this material object"));
    }
    if (!tessel.CheckComponent(compIds)) RefuseComponents(source, tessel.MessageBoxMode());
    const std::wstring_view basisName = basis.empty() ? L"mole" : basis;

    Address address{};
    address.component = tessel.GetCompIndex(compIds);
    address.basis = BasisIndexOfUpper(platform.UpperCase(basisName));
    address.phase = PhaseIndexOfUpper(tessel, upperPhase);
    if (address.basis == -1) {
        Raise(1, std::wstring(source),
              Concat(basisName, L" is not a valid BASIS for this material Object."));
    }
    address.key = PropertyStore::KeyIndexOfUpper(upperProperty);
    if (address.key < 0) {
        // Accepted by the checks, yet no slot holds it.
        if (ReportOn()) {
            WriteTraceLine(Concat(L"\tError: Invalid Call to the Material Object. ", property,
                                  L" is not administered by the MO and you should never call it."));
        }
        Raise(2, std::wstring(source),
              Concat(L"Invalid Call to the Material Object. ", property,
                     L" is not administered by the MO"));
    }
    return address;
}

}  // namespace

com::Variant Tessel::ICapeThermoMaterialObject_GetProp(std::wstring_view property,
                                                       std::wstring_view phase,
                                                       const VARIANT& compIds,
                                                       std::wstring_view calcType,
                                                       std::wstring_view basis) {
    if (TraceLines* trace = TraceLines::Active()) {
        trace->WriteHeader(L"ICapeThermoMaterialObject_GetProp"sv);
        DumpGetPropArguments(*trace, *this, property, phase, compIds, calcType, basis);
    }
    const Address address = CheckArguments(*this, kGetPropSource, property, phase, compIds, basis);
    SlotRef slot = store_.Slot(address.key);
    if (PropertyStore::IsPerComponentKey(address.key)) {
        return GetVariantValues(slot, address.phase, address.component, address.basis);
    }
    return GetValues(slot, address.phase, address.component, address.basis);
}

void Tessel::ICapeThermoMaterialObject_SetProp(std::wstring_view property, std::wstring_view phase,
                                               const VARIANT& compIds, std::wstring_view calcType,
                                               std::wstring_view basis, const VARIANT& values) {
    if (TraceLines* trace = TraceLines::Active()) {
        trace->WriteHeader(L"ICapeThermoMaterialObject_SetProp"sv);
        DumpSetPropArguments(*trace, *this, property, phase, compIds, calcType, basis, values);
    }
    const Address address = CheckArguments(*this, kSetPropSource, property, phase, compIds, basis);
    setValues(store_.Slot(address.key), address.phase, address.component, address.basis, values);
}

}  // namespace korvid::material_object
