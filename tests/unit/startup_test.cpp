// Start-up, shutdown and identification of a Tessel over the scripted platform.
#include <gtest/gtest.h>

#include "automation/com_error.h"
#include "material_object/tessel.h"
#include "tests/unit/fixtures.h"

namespace korvid::testing {
namespace {

using material_object::PropertyStore;
using material_object::Tessel;

class StartupTest : public ScriptedTest {};

TEST_F(StartupTest, NewObjectHoldsTheComponentsOfTheTableAndTheInitialStore) {
    DefineComponents(ThreeComponents());
    QueueOkForm(L"");
    Tessel tessel;

    EXPECT_EQ(platform_.formsShown, 1);
    EXPECT_EQ(tessel.m_num, 3);
    EXPECT_EQ(tessel.CompCount(), 3);
    EXPECT_EQ(tessel.i, 8);
    EXPECT_EQ(tessel.j, 3);
    EXPECT_EQ(Strings(*tessel.m_componentIDs),
              (std::vector<std::wstring>{L"74-82-8", L"74-84-0", L"7732-18-5"}));
    EXPECT_EQ(Strings(*tessel.m_compNames),
              (std::vector<std::wstring>{L"Methane", L"Ethane", L"Water"}));
    EXPECT_EQ(Strings(*tessel.m_compFormulaes),
              (std::vector<std::wstring>{L"CH4", L"C2H6", L"H2O"}));
    EXPECT_EQ(Doubles(*tessel.m_compBoilTemps), (std::vector<double>{111.66, 184.55, 373.15}));
    EXPECT_EQ(Doubles(*tessel.m_compMolWts), (std::vector<double>{16.043, 30.07, 18.015}));
    EXPECT_EQ(tessel.m_compCASNos.vt(), VT_EMPTY);
    EXPECT_TRUE(tessel.m_fileName.empty());

    const PropertyStore& store = tessel.Store();
    for (int phase = 0; phase < 8; ++phase) {
        for (int c = 0; c < 3; ++c) {
            for (int basis = 0; basis < 2; ++basis) {
                EXPECT_EQ(store.Cell(PropertyStore::kTemperature, phase, c, basis), 273.15);
                EXPECT_EQ(store.Cell(PropertyStore::kPressure, phase, c, basis), 101325.0);
                EXPECT_EQ(store.Cell(PropertyStore::KeyIndex(L"fraction"), phase, c, basis), 0.0);
            }
        }
    }
}

TEST_F(StartupTest, CreationResetsTheReportSwitchAndMismatchFlag) {
    DefineComponents(ThreeComponents());
    module_.g_pppWarned = true;
    module_.g_reportOn = false;
    bool seenOn = false, seenWarned = true;
    platform_.formScripts.push_back([&](auto& state, auto& handler, auto& window) {
        seenOn = module_.g_reportOn;
        seenWarned = module_.g_pppWarned;
        state.grid.SetTextMatrix(1, 0, L"a");
        state.grid.SetTextMatrix(1, 1, L"b");
        handler.OnOkClick(window);
    });
    Tessel tessel;
    EXPECT_TRUE(seenOn);
    EXPECT_FALSE(seenWarned);
    EXPECT_FALSE(module_.g_reportOn) << "an empty report name switches reporting off";
}

TEST_F(StartupTest, NoComponentFailsTheCreationWithError9) {
    QueueOkForm(L"");
    try {
        Tessel tessel;
        FAIL() << "creation succeeded without components";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.number, 9);
        EXPECT_EQ(e.Hresult(), static_cast<HRESULT>(0x800A0009));
    }
}

TEST_F(StartupTest, AFormThatCannotFinishFailsTheCreationAndLeavesNoTrace) {
    struct Case {
        platform::FormEnd end;
        HRESULT hr;
        const wchar_t* says;
    } cases[] = {
        {platform::FormEnd::NoWindow, E_FAIL, L"could not be shown (no desktop"},
        {platform::FormEnd::Quit, HRESULT_FROM_WIN32(ERROR_CANCELLED), L"ended by WM_QUIT"},
    };
    for (const Case& c : cases) {
        ResetModule();
        DefineComponents(ThreeComponents());
        module_.g_reportOn = false;
        module_.g_pppWarned = true;
        module_.g_reportFileNo = 4;
        platform_.formEndWhenOpen = c.end;
        // The user had loaded another table and typed a report name.
        platform_.formScripts.push_back([&](auto& state, auto& handler, auto& window) {
            module_.g_numComponents = 1;
            module_.g_components[0].name = L"other";
            module_.g_reportFileNo = 5;
            handler.OnReportNameChange(window, L"report");
        });
        try {
            Tessel tessel;
            ADD_FAILURE() << "an object was made";
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Hresult(), c.hr);
            EXPECT_EQ(e.source, L"Korvid");
            EXPECT_NE(e.description.find(c.says), std::wstring::npos);
        }
        EXPECT_EQ(module_.g_numComponents, 3);
        EXPECT_EQ(module_.g_components[0].name, L"Methane");
        EXPECT_FALSE(module_.g_reportOn);
        EXPECT_TRUE(module_.g_pppWarned);
        EXPECT_EQ(module_.g_reportFileNo, 4);
    }
}

TEST_F(StartupTest, IdentificationAccessorsTraceTheirHeaderOnly) {
    DefineComponents(ThreeComponents());
    QueueOkForm(L"ident");
    {
        Tessel tessel;
        EXPECT_EQ(tessel.ICapeIdentification_get_ComponentName(), L"Validation Material Object");
        EXPECT_EQ(tessel.ICapeIdentification_get_ComponentDescription(),
                  L"This is a dummy material object for validation purposes only");
        tessel.ICapeIdentification_put_ComponentName(L"");
        EXPECT_EQ(tessel.ICapeIdentification_get_ComponentName(), L"");
        tessel.ICapeIdentification_put_ComponentDescription(L"d");
    }
    const std::wstring banner(85, L'*');
    std::vector<std::wstring> expected;
    for (const wchar_t* op : {L"ComponentName", L"ComponentDescription", L"ComponentName",
                              L"ComponentName", L"ComponentDescription"}) {
        expected.push_back(banner);
        expected.push_back(std::wstring(L"* ICapeIdentification_") + op);
        expected.push_back(banner);
    }
    EXPECT_EQ(ReportLines(L"ident"), expected);
    EXPECT_FALSE(platform_.IsFileOpen(module_.g_reportFileNo)) << "release closes the report";
}

TEST_F(StartupTest, WritingWithoutAnOpenReportRaisesError52) {
    DefineComponents(ThreeComponents());
    QueueOkForm(L"r");
    Tessel tessel;
    platform_.CloseFile(module_.g_reportFileNo);
    try {
        tessel.ICapeIdentification_get_ComponentName();
        FAIL() << "no error";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.number, 52);
        EXPECT_EQ(e.description, L"Bad file name or number");
    }
}

TEST_F(StartupTest, TwoObjectsOfOneThreadShareTheComponentTable) {
    DefineComponents(ThreeComponents());
    QueueOkForm(L"");
    QueueOkForm(L"", true);
    Tessel first;
    module_.g_numComponents = 2;  // as a later form's Load would leave it
    Tessel second;
    EXPECT_EQ(first.CompCount(), 3);
    EXPECT_EQ(second.CompCount(), 2);
    EXPECT_TRUE(module_.g_useCasAsId);
}

}  // namespace
}  // namespace korvid::testing
