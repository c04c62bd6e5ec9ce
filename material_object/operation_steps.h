// Helpers shared by the operations that trace their arguments element by
// element and by the operations that ignore the errors inside them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <new>
#include <string_view>

#include "automation/com_error.h"

namespace korvid::material_object {

// Runs one step of an operation that ignores every error inside it: a raised
// error or a failed allocation ends that step only and the operation goes on
// with the next. True when the step ran to its end.
template <typename Step>
bool TryStep(Step&& step) noexcept {
    try {
        step();
        return true;
    } catch (const RaisedError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// What a line that cannot be built (an element that is no text) does.
enum class LineErrors {
    Raise,  // the error ends the operation
    Skip,   // the line is left out and the next one follows
};

// Argument lines: `prefix` followed by each element of `value` from its lower
// to its upper bound, one line per element, or by the whole value once when
// it holds no array. Elements are appended as names (text concatenation with
// numeric-addition semantics). `counter` follows the loop over the elements,
// as the operations' public loop member does. Builds nothing while reporting
// is off.
void TraceArgumentLines(std::wstring_view prefix, const VARIANT& value, LineErrors errors,
                        int32_t& counter);

// The same for an argument whose non-array form gives no line at all.
void TraceArrayElementLines(std::wstring_view prefix, const VARIANT& value, LineErrors errors,
                            int32_t& counter);

}  // namespace korvid::material_object
