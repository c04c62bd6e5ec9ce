// Runs a script of calls on Tessel objects through IDispatch, as a script host
// would, and writes a transcript: each call, the report lines it wrote, the
// message boxes it showed, and its result or error. Tests compare the
// transcript with a reviewed copy in tests/data/expected/.
//
// One call per line:   [@n] [put] Member arg arg ...
//   @n    the n-th object (0: the last one made by `new`; results that are
//         objects are numbered 1, 2, ... in order)       put  a property put
// Arguments: "text"  12 (long)  1.5 (double)  1.5f (single)  12s (short)
//   true false empty null missing  &arg (a variant by reference)
//   &&arg (by reference to the value's own type)
//   [a b] (array of variants)  r8[..] r4[..] i2[..] i4[..] bool[..] str[..]
//   [..]@1 (lower bound 1)  never:r8 (array type with no array behind it)
// Directives: new [report|-] [cas]  (an object whose form names the report and
//   picks the id option; - or none: reporting off), form [report]  (the next
//   nested form: OK, or closed without OK when no report is given),
//   components n  (another form left n components in the thread's table),
//   repeat n call  (whether n such calls let the process's memory grow),
//   both call  (a SetProp or GetProp the short way and the type library's),
//   # comment.
#pragma once

#include <string>

#include "tests/unit/fixtures.h"

namespace korvid::testing {

class CallScriptTest : public ScriptedTest {
protected:
    explicit CallScriptTest(uint32_t lcid = 0x0409) : ScriptedTest(lcid) {}
    // Runs `script` and compares its transcript with tests/data/expected/<name>.txt
    // (KORVID_UPDATE_EXPECTED=1 rewrites that file instead).
    void RunScript(const char* name, const char* script);
};

}  // namespace korvid::testing
