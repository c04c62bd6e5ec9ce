// Component and universal constants. Neither operation fails: every step
// that raises is skipped and the result holds what was built until then.
#include <algorithm>
#include <array>

#include "automation/com_error.h"
#include "component_definition/module_state.h"
#include "material_object/name_tables.h"
#include "material_object/operation_steps.h"
#include "material_object/tessel.h"
#include "component_definition/trace_report.h"
#include "platform/platform.h"

namespace korvid::material_object {

using component_definition::WriteCallHeader;

namespace {

using component_definition::ComponentRecord;

// The constants served from the component table, by their exact names.
struct ServedConstant {
    std::wstring_view name;
    double ComponentRecord::*field;
};

constexpr std::array<ServedConstant, 8> kServedConstants = {{
    {L"molecularWeight", &ComponentRecord::mw},
    {L"normalBoilingPoint", &ComponentRecord::tb},
    {L"criticalTemperature", &ComponentRecord::tc},
    {L"criticalPressure", &ComponentRecord::pc},
    {L"acentricFactor", &ComponentRecord::omega},
    {L"parachor", &ComponentRecord::parachor},
    {L"liquidDensityAt25C", &ComponentRecord::ild},
    {L"standardFormationEnthalpyLiquid", &ComponentRecord::hf},
}};

// The record field behind a served name; nullptr for the other names.
double ComponentRecord::*ServedField(std::wstring_view name) {
    for (const auto& served : kServedConstants) {
        if (served.name == name) return served.field;
    }
    return nullptr;
}

// Index of the first of the thread's g_numComponents components whose id (in
// this object's list `ids`) equals `id` exactly, or -1. A live count beyond
// the object's own list raises error 9 once the loop reaches it.
int32_t FindComponentId(const std::vector<std::wstring>& ids, std::wstring_view id) {
    const int32_t count = component_definition::Module1().g_numComponents;
    for (int32_t k = 0; k < count; ++k) {
        if (static_cast<size_t>(k) >= ids.size()) RaiseRuntime(kSubscriptOutOfRange);
        if (ids[k] == id) return k;
    }
    return -1;
}

}  // namespace

bool Tessel::IsComponentConstantName(std::wstring_view name) const {
    return std::find(kConstPropTable.begin(), kConstPropTable.end(), name) !=
           kConstPropTable.end();
}

bool Tessel::IsKnownComponentId(std::wstring_view id) const {
    const bool cas = component_definition::Module1().g_useCasAsId;
    return FindComponentId(cas ? casList : nameList, id) >= 0;
}

com::Variant Tessel::ICapeThermoMaterialObject_GetComponentConstant(const VARIANT& props,
                                                                    const VARIANT& compIds) {
    TryStep([&] { WriteCallHeader(L"ICapeThermoMaterialObject_GetComponentConstant"); });
    TraceArgumentLines(L"\tProperties\t", props, LineErrors::Skip, i);
    TraceArgumentLines(L"\tComponentIds\t", compIds, LineErrors::Skip, i);

    // No names, an upper bound below 0 (no row 0..upper exists), or bounds
    // that cannot be read: Empty.
    std::optional<com::ArrayArg> names, ids;
    if (!TryStep([&] {
            names = com::ArrayArg::Of(props);
            ids = com::ArrayArg::Of(compIds);
        }) ||
        !names || !names->HasElements() || names->Upper() < 0) {
        return com::Variant();
    }

    // Columns: one per index 0..upper of compIds, or one per component.
    size_t rows = 0, columns = 0;
    const bool oneName = names->Upper() == 0;
    std::vector<double> values;
    if (!TryStep([&] {
            columns = ids ? com::ResultLength(ids->Upper()) : static_cast<size_t>(compCount);
            rows = com::ResultLength(names->Upper());
            if (!oneName && columns != 0 && rows > com::kMaxResultElements / columns) {
                RaiseRuntime(7);
            }
            values.assign(oneName ? columns : rows * columns, 0.0);
        })) {
        return com::Variant();
    }

    const uint32_t lcid = platform::CurrentPlatform().Lcid();
    const auto& idList = component_definition::Module1().g_useCasAsId ? casList : nameList;
    int64_t p = names->Lower();
    for (; p <= names->Upper(); ++p) {
        i = static_cast<int32_t>(p);
        std::wstring name;
        if (!TryStep([&] { name = com::ToText(*names->Element(static_cast<LONG>(p)), lcid); })) {
            continue;
        }
        if (!IsComponentConstantName(name)) continue;
        const auto field = ServedField(name);
        for (j = 0; static_cast<size_t>(j) < columns; ++j) {
            TryStep([&] {
                int32_t component = j;
                if (ids) {
                    const std::wstring id = com::ToText(*ids->Element(j), lcid);
                    if (!IsKnownComponentId(id)) return;
                    component = FindComponentId(idList, id);
                }
                if (!field) return;  // accepted, but no value here
                // The table as it is now, not as it was at creation.
                const auto& table = component_definition::Module1().g_components;
                if (static_cast<size_t>(component) >= table.size()) {
                    RaiseRuntime(kSubscriptOutOfRange);
                }
                if (oneName) {
                    values[j] = table[component].*field;
                } else if (p >= 0) {  // property index fastest
                    values[static_cast<size_t>(p) + static_cast<size_t>(j) * rows] =
                        table[component].*field;
                }
            });
        }
    }
    i = static_cast<int32_t>(p);

    com::Variant result;
    TryStep([&] {
        result = oneName ? com::MakeDoubleArray(values)
                         : com::MakeDoubleArray2D(values, rows, columns);
    });
    return result;
}

com::Variant Tessel::ICapeThermoMaterialObject_GetUniversalConstant(const VARIANT& props) {
    TryStep([&] { WriteCallHeader(L"ICapeThermoMaterialObject_GetUniversalConstant"); });
    TraceArgumentLines(L"\tProp\t", props, LineErrors::Skip, i);

    // The names are not looked at: every filled element is a fresh 100 x r.
    auto& platform = platform::CurrentPlatform();
    com::Variant result;
    TryStep([&] {
        std::vector<double> values;
        if (com::IsEmpty(props)) {
            values.resize(compCount);
            for (i = 0; i < compCount; ++i) values[i] = 100.0 * double{platform.NextRandom()};
        } else if (auto array = com::ArrayArg::Of(props)) {
            // Indices 0..upper; elements below the lower bound stay 0.0.
            values.resize(com::ResultLength(array->Upper()));
            int64_t k = std::max<int64_t>(array->Lower(), 0);
            for (; k <= array->Upper(); ++k) {
                i = static_cast<int32_t>(k);
                values[static_cast<size_t>(k)] = 100.0 * double{platform.NextRandom()};
            }
            i = static_cast<int32_t>(k);
        }
        result = com::MakeDoubleArray(values);
    });
    return result;
}

}  // namespace korvid::material_object
