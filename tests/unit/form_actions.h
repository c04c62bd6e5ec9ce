// The form's side of call scripts: a person's clicks and keys on the thread's
// definition form, its buttons, menu and file dialogs, and the component table
// and files behind it. After each action the transcript shows what changed:
// grid rows and cells, the edit box, focus, status line, the table, files,
// the clipboard, the dialogs asked for.
//
// Actions ("text" may hold \r \n \t \b \e (Escape) \0 \uXXXX; "x" *1000 repeats
// it, "a" + "b" joins pieces):
//   fresh                   the thread's module state as a new process has it
//   component "name" "cas" "family" "formula" numbers...   one more table record
//   fill  read              the table into the grid, the grid into the table
//   row r "cell" ...        cells of grid row r from column 0      old  "old" in every data cell
//   goto r c  click r c     make a cell current; click it (the box takes the focus)
//   gridkey "k"  type "keys"  accept  cancel    a key in the grid, keys in the box, its buttons
//   report "name"  option 1|2  ok  close  show   the report name, an id option, OK,
//                           a close request, a new showing of the form
//   clipboard "text"|none  copy  paste           the clipboard, the CopyPaste menu
//   file "path" "text"|none  load "path"|cancel  save "path"|cancel   files and dialogs
//   folder "path"|- "path"  reporting on|off  ids names|cas  rows n  width col twips
//   number value decimals   line k   parse "line"   gridtext   the file and grid texts
#pragma once

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "component_definition/module_state.h"
#include "platform/scripted/scripted_platform.h"
#include "tests/support/script_text.h"

namespace korvid::testing {

class FormActions {
public:
    FormActions(platform::ScriptedPlatform& platform, component_definition::Module1State& module)
        : platform_(platform), module_(module) {}
    // Runs the action `tokens` name and writes what changed; false when they
    // name no action.
    bool Run(const std::vector<std::wstring>& tokens, std::wostream& out);

private:
    using Snapshot = std::map<std::wstring, std::wstring>;
    Snapshot Take();
    // What changed since the last look, and the dialogs asked for.
    void PrintChanges(std::wostream& out);
    bool Act(const std::wstring& action, const std::vector<std::wstring>& tokens, size_t& k,
             std::wostream& out);
    void Type(const std::wstring& keys);
    void FocusFollowsTheBox();

    platform::ScriptedPlatform& platform_;
    component_definition::Module1State& module_;
    Snapshot baseline_;
    size_t dialogsShown_ = 0;
};

}  // namespace korvid::testing
