// Runs a script of calls on Tessel objects through IDispatch, as a script host
// would, and writes a transcript: each call, the report lines it wrote, the
// message boxes it showed, and its result or error. A script is a file in
// tests/data/calls/ that holds its calls and their reviewed transcript at once:
// lines beginning with "> " are the calls, lines beginning with "#" comments,
// every other line what the calls before it showed. A test runs the calls and
// compares the new transcript with the whole file.
//
// One call per line:   > [@n] [put] Member arg arg ...
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
//   env NAME [value]  (an environment variable set, or unset),
//   create  (an object from the class factory, numbered as results are; a
//   failure shows its HRESULT, source and description).
// A new script is a file of "> " lines; KORVID_UPDATE_EXPECTED=1 writes their
// transcript into it, and the diff is what a reviewer reads.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "component_definition/module_state.h"
#include "platform/scripted/scripted_platform.h"

namespace korvid::testing {

// A call script's world: a scripted platform installed for the test and the
// thread's module state, fresh, its table holding three real components.
class CallScriptTest : public ::testing::Test {
protected:
    explicit CallScriptTest(uint32_t lcid = 0x0409)
        : platform_(lcid), module_(component_definition::Module1()) {}
    ~CallScriptTest() override;
    // Runs the calls of tests/data/calls/<name>.txt and compares the
    // transcript with that file (KORVID_UPDATE_EXPECTED=1 rewrites it instead).
    void RunScript(const char* name);

    platform::ScriptedPlatform platform_;  // its locale: the constructor's lcid
    platform::ScopedPlatform scope_{platform_};
    component_definition::Module1State& module_;
};

}  // namespace korvid::testing
