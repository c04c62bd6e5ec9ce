// List and check operations: they answer from the object's tables and the
// thread's component state, and touch nothing but the loop member i.
#include "automation/com_error.h"
#include "component_definition/module_state.h"
#include "material_object/operation_steps.h"
#include "material_object/tessel.h"
#include "component_definition/trace_report.h"
#include "platform/platform.h"

namespace korvid::material_object {

using component_definition::ReportOn;
using component_definition::TraceFlush;
using component_definition::WriteCallHeader;
using component_definition::WriteTraceLine;

com::Variant Tessel::ICapeThermoMaterialObject_ComponentIds() {
    WriteCallHeader(L"ICapeThermoMaterialObject_ComponentIds");
    std::vector<std::wstring> ids(compCount);
    // The id option is read now: a later object's form may have changed it.
    if (component_definition::Module1().g_useCasAsId) {
        for (i = 0; i < compCount; ++i) ids[i] = casList[i];
        return com::MakeStringArray(ids);
    }
    // The names come from m_compNames as it is now: a client may have
    // replaced it with a shorter list (error 9) or no list at all (error 13).
    auto names = com::ArrayArg::Of(*m_compNames);
    if (!names) RaiseRuntime(kTypeMismatch);
    const uint32_t lcid = platform::CurrentPlatform().Lcid();
    for (i = 0; i < compCount; ++i) ids[i] = com::ToText(*names->Element(i), lcid);
    return com::MakeStringArray(ids);
}

com::Variant Tessel::ICapeThermoMaterialObject_PhaseIds() {
    WriteCallHeader(L"ICapeThermoMaterialObject_PhaseIds");
    return com::Variant::CopyOf(*phaseTableCopy_);
}

com::Variant Tessel::ICapeThermoMaterialObject_AvailableProps() {
    WriteCallHeader(L"ICapeThermoMaterialObject_AvailableProps");
    return com::Variant::CopyOf(*nonConstPropTableCopy_);
}

com::Variant Tessel::ICapeThermoMaterialObject_GetPropList() {
    WriteCallHeader(L"ICapeThermoMaterialObject_GetPropList");
    return com::Variant::CopyOf(*nonConstPropTableCopy_);
}

int32_t Tessel::ICapeThermoMaterialObject_GetNumComponents() {
    WriteCallHeader(L"ICapeThermoMaterialObject_GetNumComponents");
    // The thread's count at call time, not this object's compCount.
    const int32_t count = component_definition::Module1().g_numComponents;
    if (count != 0) {
        if (ReportOn()) {
            WriteTraceLine(L"\tReturned value:\t" +
                           platform::CurrentPlatform().FormatNumber(count));
        }
        return count;
    }
    component_definition::ShowObjectMessage(messageMode_, L"MO error...",
                                            L"MO Initialisation failed....",
                                            platform::MessageIcon::Critical);
    return -1;
}

com::Variant Tessel::ICapeThermoMaterialObject_PropCheck(const VARIANT& props) {
    // Every step may fail on its own; PropCheck answers whatever it has built.
    TryStep([&] { WriteCallHeader(L"ICapeThermoMaterialObject_PropCheck"); });
    com::Variant result;
    if (!ReportOn()) {
        TryStep([&] { result = com::MakeArrayTypeWithoutArray(VT_BOOL); });
        return result;
    }
    std::optional<com::ArrayArg> array;
    if (!TryStep([&] { array = com::ArrayArg::Of(props); })) {
        // An array whose bounds cannot be read: its lines and its Booleans fail.
        TryStep([&] { result = com::MakeArrayTypeWithoutArray(VT_BOOL); });
        return result;
    }
    if (!array) {
        TryStep([&] { result = com::MakeBoolArray(compCount, true); });
        return result;
    }
    TraceArrayElementLines(L"\tProps\t", props, LineErrors::Skip, i);
    TryStep([&] {
        const int64_t upper = int64_t{array->Upper()} - array->Lower();
        result = com::MakeBoolArray(com::ResultLength(upper), true);
    });
    return result;
}

com::Variant Tessel::ICapeThermoMaterialObject_ValidityCheck(const VARIANT&) {
    WriteCallHeader(L"ICapeThermoMaterialObject_ValidityCheck");
    return com::Variant();
}

void Tessel::ICapeThermoMaterialObject_RemoveResults(const VARIANT&) {
    // Nothing is removed: stored values stay until SetProp overwrites them.
    WriteCallHeader(L"ICapeThermoMaterialObject_RemoveResults");
    WriteTraceLine(L"remove results");
}

}  // namespace korvid::material_object
