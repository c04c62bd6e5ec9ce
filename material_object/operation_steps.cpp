#include "material_object/operation_steps.h"

#include <string>

#include "automation/variant.h"
#include "component_definition/trace_report.h"

namespace korvid::material_object {

using component_definition::WriteTraceLine;
using component_definition::ReportOn;
using component_definition::ScratchLine;

namespace {

void WriteNameLine(std::wstring_view prefix, const VARIANT& name, LineErrors errors) {
    auto write = [&] {
        platform::TextBuffer& line = ScratchLine();
        line.Append(prefix);
        com::AppendName(line, name);
        WriteTraceLine(line.View());
    };
    if (errors == LineErrors::Skip) {
        TryStep(write);
    } else {
        write();
    }
}

// One line per element; false when `value` holds no array.
bool TraceElements(std::wstring_view prefix, const VARIANT& value, LineErrors errors,
                   int32_t& counter) {
    if (!com::IsArray(value)) return false;
    // Bounds that cannot be read raise error 9, or end the lines when errors
    // are skipped.
    auto array = errors == LineErrors::Skip ? com::ArrayArg::Readable(value)
                                            : com::ArrayArg::Of(value);
    if (!array) return true;
    // 64-bit loop: an upper bound of INT32_MAX must not wrap.
    int64_t k = array->Lower();
    for (; k <= array->Upper(); ++k) {
        counter = static_cast<int32_t>(k);
        auto element = [&] {
            com::Variant item = array->Element(static_cast<LONG>(k));
            WriteNameLine(prefix, *item, errors);
        };
        if (errors == LineErrors::Skip) {
            TryStep(element);
        } else {
            element();
        }
    }
    counter = static_cast<int32_t>(k);
    return true;
}

}  // namespace

void TraceArgumentLines(std::wstring_view prefix, const VARIANT& value, LineErrors errors,
                        int32_t& counter) {
    if (!ReportOn()) return;
    if (!TraceElements(prefix, value, errors, counter)) WriteNameLine(prefix, value, errors);
}

void TraceArrayElementLines(std::wstring_view prefix, const VARIANT& value, LineErrors errors,
                            int32_t& counter) {
    if (!ReportOn()) return;
    TraceElements(prefix, value, errors, counter);
}

}  // namespace korvid::material_object
