// Calculation, independent-variable and cloning operations, and the
// published helpers copyVariant and displayRetVal.
#include <wrl/client.h>

#include <memory>

#include "Korvid_h.h"

#include "automation/com_error.h"
#include "component_definition/module_state.h"
#include "material_object/name_tables.h"
#include "material_object/new_tessel.h"
#include "material_object/operation_steps.h"
#include "material_object/tessel.h"
#include "component_definition/trace_report.h"
#include "platform/platform.h"

namespace korvid::material_object {

using component_definition::TraceFlush;
using component_definition::WriteTraceLine;
using component_definition::WriteCallHeader;
using component_definition::ReportOn;
using component_definition::ScratchLine;

namespace {

using Microsoft::WRL::ComPtr;

// Owns the reference that a creation hands over. (ComPtr::Attach of
// mingw-w64 adds a reference of its own, so it cannot adopt one.)
struct ReleaseReference {
    void operator()(IUnknown* object) const { object->Release(); }
};
using OwnedDispatch = std::unique_ptr<IDispatch, ReleaseReference>;

// The values CalcEquilibrium leaves in the store, mole basis.
constexpr double kEquilibriumTemperature = 888.888;

// The public lists that a new object receives from its creator, in the order
// in which they are set.
struct PublicList {
    com::Variant Tessel::*member;
    HRESULT (STDMETHODCALLTYPE _Tessel::*put)(VARIANT);
    HRESULT (STDMETHODCALLTYPE _Tessel::*putref)(VARIANT);
};

const PublicList kPublicLists[] = {
    {&Tessel::m_componentIDs, &_Tessel::put_m_componentIDs, &_Tessel::putref_m_componentIDs},
    {&Tessel::m_compFormulaes, &_Tessel::put_m_compFormulaes, &_Tessel::putref_m_compFormulaes},
    {&Tessel::m_compBoilTemps, &_Tessel::put_m_compBoilTemps, &_Tessel::putref_m_compBoilTemps},
    {&Tessel::m_compMolWts, &_Tessel::put_m_compMolWts, &_Tessel::putref_m_compMolWts},
    {&Tessel::m_compCASNos, &_Tessel::put_m_compCASNos, &_Tessel::putref_m_compCASNos},
    {&Tessel::m_compNames, &_Tessel::put_m_compNames, &_Tessel::putref_m_compNames},
};

// Sets m_num and the six public lists of `target` through its _Tessel
// interface, each list an independent copy made by copyVariant.
void CopyPublicListsTo(Tessel& source, IDispatch* target) {
    ComPtr<_Tessel> lists;
    Check(target->QueryInterface(IID__Tessel, reinterpret_cast<void**>(lists.GetAddressOf())));
    Check(lists->put_m_num(source.CompCount()));
    for (const PublicList& list : kPublicLists) {
        com::Variant copy = source.copyVariant(*(source.*list.member));
        // An object is assigned by reference, everything else by value.
        const bool object = copy.vt() == VT_DISPATCH || copy.vt() == VT_UNKNOWN;
        Check((lists.Get()->*(object ? list.putref : list.put))(*copy));
    }
}

// values(k) of SetIndependentVar: error 9 outside the array, 13 when
// `values` holds no array.
com::Variant ValueAt(const VARIANT& values, int64_t k) {
    auto array = com::ArrayArg::Of(values);
    if (!array) RaiseRuntime(kTypeMismatch);
    if (k < array->Lower() || k > array->Upper()) RaiseRuntime(kSubscriptOutOfRange);
    return array->Element(static_cast<LONG>(k));
}

// An element as displayRetVal shows it: numbers in the Str() form, anything
// else as its text; what has no text (Null, objects, arrays) shows nothing.
std::wstring DisplayText(const VARIANT& element, uint32_t lcid) {
    if (auto number = com::StrNumberText(element)) return *number;
    std::wstring text;
    TryStep([&] { text = com::ToText(element, lcid); });
    return text;
}

}  // namespace

void Tessel::ICapeThermoMaterialObject_CalcProp(const VARIANT&, const VARIANT&,
                                                std::wstring_view) {
    WriteCallHeader(L"ICapeThermoMaterialObject_CalcProp");
}

void Tessel::ICapeThermoMaterialObject_CalcEquilibrium(std::wstring_view flashType,
                                                       const VARIANT& props) {
    WriteCallHeader(L"ICapeThermoMaterialObject_CalcEquilibrium");
    if (ReportOn()) {
        WriteTraceLine(L"\tflashType\tprops");
        std::wstring prefix;
        prefix.append(L"\t").append(flashType).append(L"\t");
        TraceArgumentLines(prefix, props, LineErrors::Raise, i);
    }
    // Every phase of the table copy, every component over the bounds of
    // m_componentIDs as it is now: a longer client list runs past the store
    // and fails with error 9 after the cells written so far.
    auto phases = com::ArrayArg::Of(*phaseTableCopy_);
    auto components = com::ArrayArg::Of(*m_componentIDs);
    if (!phases || !components) RaiseRuntime(kTypeMismatch);
    const double fraction = 1.0 / phases->Upper();
    SlotRef temperature = store_.Slot(PropertyStore::kTemperature);
    SlotRef phaseFraction = store_.Slot(PropertyStore::kPhaseFraction);
    for (i = phases->Lower(); i <= phases->Upper(); ++i) {
        int64_t c = components->Lower();
        for (; c <= components->Upper(); ++c) {
            j = static_cast<int32_t>(c);
            if (c != j) RaiseRuntime(kSubscriptOutOfRange);
            temperature.Cell(i, j, 0) = kEquilibriumTemperature;
            phaseFraction.Cell(i, j, 0) = fraction;
        }
        j = static_cast<int32_t>(c);
    }
}

bool Tessel::IsGlobalVarName(std::wstring_view name) const {
    // Only the name is upper-cased: the three mixed-case entries never match.
    const std::wstring upper = platform::CurrentPlatform().UpperCase(name);
    for (const auto& entry : kGlobalVarTable) {
        if (upper == entry) return true;
    }
    return false;
}

void Tessel::ICapeThermoMaterialObject_SetIndependentVar(const VARIANT& indVars,
                                                         const VARIANT& values) {
    WriteCallHeader(L"ICapeThermoMaterialObject_SetIndependent");
    const uint32_t lcid = platform::CurrentPlatform().Lcid();
    auto names = com::ArrayArg::Of(indVars);
    if (ReportOn()) {
        if (names) {
            for (int64_t k = names->Lower(); k <= names->Upper(); ++k) {
                i = static_cast<int32_t>(k);
                com::Variant name = names->Element(static_cast<LONG>(k));
                // The name line is written before the value is read.
                platform::TextBuffer& line = ScratchLine();
                line.Append(L"\tIndVars\t");
                com::AppendName(line, *name);
                WriteTraceLine(line.View());
                // Numbers in the general number format, texts as they are: a
                // value is checked when it is stored, not when it is shown.
                WriteTraceLine(L"\tvalues\t" + com::ToText(*ValueAt(values, k), lcid));
            }
        } else {
            platform::TextBuffer& line = ScratchLine();
            line.Append(L"\tIndVars\t");
            com::AppendName(line, indVars);
            WriteTraceLine(line.View());
            WriteTraceLine(L"\tvalues\t" + com::ToText(values, lcid));
        }
    }
    if (!names) RaiseRuntime(kTypeMismatch);

    // The slot is the position in indVars, not the name: only positions 0
    // and 1 exist.
    int64_t k = names->Lower();
    for (; k <= names->Upper(); ++k) {
        i = static_cast<int32_t>(k);
        std::wstring name = com::ToText(*names->Element(static_cast<LONG>(k)), lcid);
        if (!IsGlobalVarName(name)) continue;
        if (k < 0 || k >= static_cast<int64_t>(indVarNames.size())) {
            RaiseRuntime(kSubscriptOutOfRange);
        }
        indVarNames[k] = std::move(name);
        indVarValues[k] = com::ToDouble(*ValueAt(values, k), lcid);
    }
    i = static_cast<int32_t>(k);
}

com::Variant Tessel::ICapeThermoMaterialObject_GetIndependentVar(const VARIANT& indVars) {
    TryStep([&] { WriteCallHeader(L"ICapeThermoMaterialObject_GetIndependentVar"); });
    TraceArgumentLines(L"\tIndVar\t", indVars, LineErrors::Skip, i);

    const uint32_t lcid = platform::CurrentPlatform().Lcid();
    // Both slots are compared, slot 1 last: when both hold the name, slot 1's
    // value is the answer. Exact, case-sensitive.
    auto lookUp = [&](const VARIANT& name, double& value) {
        const std::wstring text = com::ToText(name, lcid);
        for (j = 0; j < static_cast<int32_t>(indVarNames.size()); ++j) {
            if (indVarNames[j] == text) value = indVarValues[j];
        }
    };

    com::Variant result;
    TryStep([&] {
        std::vector<double> values;
        if (com::IsEmpty(indVars)) {
            // No names: one element per component, each the value of the slot
            // that the loop member j designates as the previous operation
            // left it (0.0 when j is no slot).
            values.assign(compCount, 0.0);
            const int32_t slot = j;
            for (i = 0; i < compCount; ++i) {
                if (slot == 0 || slot == 1) values[i] = indVarValues[slot];
            }
        } else if (auto names = com::ArrayArg::Of(indVars)) {
            values.assign(com::ResultLength(names->Upper()), 0.0);
            int64_t k = names->Lower();
            for (; k <= names->Upper(); ++k) {
                i = static_cast<int32_t>(k);
                TryStep([&] {
                    if (k < 0) RaiseRuntime(kSubscriptOutOfRange);
                    lookUp(*names->Element(static_cast<LONG>(k)), values[k]);
                });
            }
            i = static_cast<int32_t>(k);
        } else {
            // A single name that is no list: answered as a list of one.
            values.assign(1, 0.0);
            TryStep([&] { lookUp(indVars, values[0]); });
        }
        result = com::MakeDoubleArray(values);
    });
    return result;
}

IDispatch* Tessel::ICapeThermoMaterialObject_CreateMaterialObject() {
    WriteCallHeader(L"ICapeThermoMaterialObject_CreateMaterialObject");
    OwnedDispatch created;
    try {
        // A complete start-up: the new object's form is shown modally.
        created.reset(NewTesselDispatch());
        CopyPublicListsTo(*this, created.get());
    } catch (...) {
        // No object and no error: the new object, if any, goes with `created`.
        created.reset();
        SetErrorInfo(0, nullptr);
        return nullptr;
    }
    return created.release();
}

IDispatch* Tessel::ICapeThermoMaterialObject_Duplicate() {
    WriteCallHeader(L"ICapeThermoMaterialObject_Duplicate");
    OwnedDispatch created;
    try {
        created.reset(ICapeThermoMaterialObject_CreateMaterialObject());
        if (!created) created.reset(NewTesselDispatch());
        // The new object traces these two calls itself.
        ComPtr<ICapeIdentification> identification;
        Check(created->QueryInterface(IID_ICapeIdentification,
                                      reinterpret_cast<void**>(identification.GetAddressOf())));
        const com::Variant name = com::Variant::FromText(L"Calculated MO");
        const com::Variant description = com::Variant::FromText(componentDescription);
        Check(identification->put_ComponentName(name->bstrVal));
        Check(identification->put_ComponentDescription(description->bstrVal));
        CopyPublicListsTo(*this, created.get());
    } catch (...) {
        created.reset();
        SetErrorInfo(0, nullptr);
        component_definition::ShowObjectMessage(messageMode_, L"Cannot Duplicate MO", L"Korvid",
                                                platform::MessageIcon::None);
        return nullptr;
    }
    return created.release();
}

com::Variant Tessel::copyVariant(const VARIANT& value) {
    return com::Variant::IndependentCopyOf(value);
}

com::Variant Tessel::displayRetVal(VARIANT* retVal) {
    if (ReportOn()) WriteTraceLine(L"\tReturned values:");
    if (!retVal) return com::Variant();
    auto array = com::ArrayArg::Of(*retVal);
    if (!array) return com::Variant();
    const uint32_t lcid = platform::CurrentPlatform().Lcid();
    int64_t k = array->Lower();
    for (; k <= array->Upper(); ++k) {
        i = static_cast<int32_t>(k);
        if (ReportOn()) {
            WriteTraceLine(L"\t\t" + DisplayText(*array->Element(static_cast<LONG>(k)), lcid));
        }
    }
    i = static_cast<int32_t>(k);
    return com::Variant();
}

}  // namespace korvid::material_object
