// The report lines of one call of the CAPE-OPEN 1.1 material, written
// through the thread's shared trace lines (component_definition/trace_report.h):
// the banner and header, the object's line, one TAB-separated line per
// argument or element, then the result or the error. Nothing is built when
// reporting is off.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <vector>

#include "component_definition/trace_report.h"

namespace korvid::thermo_material {

class CallTrace {
public:
    // Writes the header "* <header>" and the line naming object `number`.
    CallTrace(std::wstring_view header, int32_t number);

    // TAB label TAB text.
    void Text(std::wstring_view label, std::wstring_view text);
    void Number(std::wstring_view label, double value);
    // A VARIANT: an array as one line per element, "label[index]"; a value
    // that has no text as its type.
    void Value(std::wstring_view label, const VARIANT& value);
    void Numbers(std::wstring_view label, const std::vector<double>& values);

private:
    component_definition::TraceLines* lines_;
};

// The error line of a failed call: TAB "Error" TAB name TAB HRESULT TAB description.
void TraceError(std::wstring_view name, HRESULT hr, std::wstring_view description);

}  // namespace korvid::thermo_material
