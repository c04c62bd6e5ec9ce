// Call scripts, each run from its file in tests/data/calls/ and compared with
// the reviewed transcript there: sessions of calls through IDispatch (the
// report's lines, message boxes, results and errors of every call), and a
// person's work on the definition form (what each action changed).
#include "tests/unit/call_script.h"

namespace korvid::testing {
namespace {

using Operations = CallScriptTest;

TEST_F(Operations, IdentificationAndLists) { RunScript("lists"); }

TEST_F(Operations, SetPropAndGetProp) { RunScript("props"); }

TEST_F(Operations, ConstantsAndCalculations) { RunScript("calculations"); }

TEST_F(Operations, LookupHelpers) { RunScript("lookups"); }

TEST_F(Operations, ArgumentShapes) { RunScript("shapes"); }

TEST_F(Operations, Thermo11StateAndErrors) { RunScript("material11"); }

TEST_F(Operations, Thermo11Routines) { RunScript("material11_routines"); }

TEST_F(Operations, Thermo11BasesAndConstants) { RunScript("material11_bases"); }

class GermanOperations : public CallScriptTest {
protected:
    GermanOperations() : CallScriptTest(0x0407) {}
};

TEST_F(GermanOperations, NumbersFollowTheUsersLocale) { RunScript("german"); }

using DefinitionForm = CallScriptTest;

TEST_F(DefinitionForm, OkCloseAndANewShowing) { RunScript("definition_form"); }

TEST_F(DefinitionForm, CellEditing) { RunScript("cell_editing"); }

TEST_F(DefinitionForm, ComponentFiles) { RunScript("como_files"); }

TEST_F(DefinitionForm, MalformedFilesAndClipboardTexts) { RunScript("malformed"); }

TEST_F(DefinitionForm, GridAndTable) { RunScript("grid_transfer"); }

TEST_F(DefinitionForm, CreationWithoutTheForm) { RunScript("headless"); }

}  // namespace
}  // namespace korvid::testing
