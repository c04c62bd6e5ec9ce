// The definition form's check, OK button, close requests and fresh load.
#include <gtest/gtest.h>

#include "tests/unit/form_fixture.h"

namespace korvid::testing {
namespace {

constexpr wchar_t kInvalid[] = L"Enter or load valid components data.";
constexpr wchar_t kNoReport[] = L"No reporting on this Material Object.";
constexpr wchar_t kOtherName[] = L"Enter a different name for reporting.";

class DefinitionFormTest : public FormTest {
protected:
    void RemoveReportFolder() { platform_.folders = {platform_.moduleFolder}; }
};

TEST_F(DefinitionFormTest, CheckLooksAtNameAndCasOfRowOneOnly) {
    struct Case { const wchar_t* name1; const wchar_t* cas1; const wchar_t* name2; bool passes; };
    const Case cases[] = {
        {L"Water", L"7732-18-5", L"", true}, {L"Water", L"", L"", false},
        {L"", L"7732-18-5", L"", false},     {L"", L"", L"Water", false},
        {L" ", L" ", L"", true},
    };
    for (const Case& c : cases) {
        FillRow(1, {c.name1, c.cas1});
        FillRow(2, {c.name2, L"1"});
        EXPECT_EQ(Form().CheckMODef(), c.passes) << "row 1: '" << c.name1 << "' '" << c.cas1 << "'";
    }
}

TEST_F(DefinitionFormTest, OkOpensTheReportOrSwitchesItOff) {
    struct Case {
        const char* proves;
        const wchar_t* reportName;
        bool validRow;
        bool reportFolder;
        bool option1;
        bool closes;
        const wchar_t* status;
        bool reportOn;
    };
    const Case cases[] = {
        {"report opened", L"run1", true, true, false, true, L"", true},
        {"empty name: no report", L"", true, true, true, true, kNoReport, false},
        {"invalid grid with a name", L"run1", false, true, true, false, kInvalid, true},
        {"invalid grid without a name", L"", false, true, true, false, kInvalid, false},
        {"missing folder", L"run1", true, false, true, false, kOtherName, true},
        {"invalid file name", L"a|b", true, true, true, false, kOtherName, true},
    };
    for (const Case& c : cases) {
        ResetModule();
        module_.g_reportOn = true;  // as every object creation leaves it
        module_.g_useCasAsId = c.option1;
        platform_.folders = {platform_.moduleFolder, platform_.moduleFolder + L"\\CapeOpenValidationReports"};
        if (!c.reportFolder) RemoveReportFolder();
        if (c.validRow) FillRow(1, {L"Water", L"7732-18-5"});
        Form().OnReportNameChange(Window(), c.reportName);
        Form().OnOptionClick(Window(), c.option1);
        Form().OnOkClick(Window());

        EXPECT_EQ(State().closed, c.closes) << c.proves;
        EXPECT_EQ(State().label2, c.status) << c.proves;
        EXPECT_EQ(module_.g_reportOn, c.reportOn) << c.proves;
        const bool opened = c.closes && c.reportOn;
        EXPECT_EQ(platform_.IsFileOpen(module_.g_reportFileNo), opened) << c.proves;
        if (opened) {
            EXPECT_EQ(module_.g_filePath, ReportPath(c.reportName)) << c.proves;
            EXPECT_EQ(platform_.files.count(ReportPath(c.reportName)), 1u) << c.proves;
        }
        // The id option is read only when OK gets that far.
        EXPECT_EQ(module_.g_useCasAsId, c.closes ? !c.option1 : c.option1) << c.proves;
        platform_.CloseFile(module_.g_reportFileNo);
    }
}

TEST_F(DefinitionFormTest, ReportSwitchedOffStaysOffAndAFailedOpenCanBeRetried) {
    module_.g_reportOn = true;
    Form().OnOkClick(Window());  // empty name, empty grid
    FillRow(1, {L"Water", L"7732-18-5"});
    Form().OnReportNameChange(Window(), L"late");
    Form().OnOkClick(Window());
    EXPECT_TRUE(State().closed);
    EXPECT_FALSE(module_.g_reportOn);
    EXPECT_EQ(platform_.files.count(ReportPath(L"late")), 0u);

    ResetModule();
    module_.g_reportOn = true;
    RemoveReportFolder();
    FillRow(1, {L"Water", L"7732-18-5"});
    Form().OnReportNameChange(Window(), L"run");
    Form().OnOkClick(Window());
    EXPECT_EQ(State().label2, kOtherName);
    Form().OnReportNameChange(Window(), L"run2");
    EXPECT_EQ(State().label2, L"") << "typing clears the status line";
    platform_.folders.push_back(platform_.moduleFolder + L"\\CapeOpenValidationReports");
    Form().OnOkClick(Window());
    EXPECT_TRUE(State().closed);
    EXPECT_TRUE(platform_.IsFileOpen(module_.g_reportFileNo));
    EXPECT_EQ(module_.g_filePath, ReportPath(L"run2"));
}

TEST_F(DefinitionFormTest, CloseRequestNeedsAValidGridAndOpensNoReport) {
    module_.g_reportOn = true;
    module_.g_useCasAsId = true;
    EXPECT_FALSE(Form().OnCloseRequest(Window()));
    EXPECT_EQ(State().label2, kInvalid);
    EXPECT_FALSE(State().closed);

    FillRow(1, {L"Water", L"7732-18-5"});
    Form().OnReportNameChange(Window(), L"never");
    EXPECT_TRUE(Form().OnCloseRequest(Window()));
    EXPECT_TRUE(State().closed);
    EXPECT_TRUE(module_.g_useCasAsId) << "the id option is not read";
    EXPECT_FALSE(module_.g_reportOn) << "closed without OK: no report, reporting off";
    EXPECT_EQ(platform_.files.count(ReportPath(L"never")), 0u);

    // The window's own close after OK does not undo the report.
    ResetModule();
    module_.g_reportOn = true;
    FillRow(1, {L"Water", L"7732-18-5"});
    Form().OnReportNameChange(Window(), L"kept");
    Form().OnOkClick(Window());
    EXPECT_TRUE(Form().OnCloseRequest(Window()));
    EXPECT_TRUE(module_.g_reportOn);
}

TEST_F(DefinitionFormTest, EveryShowingStartsFromAFreshForm) {
    FillRow(3, {L"left", L"over"});
    Grid().SetColWidth(4, 5000);
    State().label2 = L"old";
    State().option1 = false;
    Form().OnReportNameChange(Window(), L"old");
    platform_.formScripts.push_back([](auto& state, auto&, auto&) {
        EXPECT_EQ(state.grid.Rows(), 10);
        EXPECT_EQ(state.grid.TextMatrix(3, 0), L"");
        EXPECT_EQ(state.grid.ColWidth(4), state.grid.ColWidth(0));
        EXPECT_EQ(state.grid.TextMatrix(0, 1), L"CAS number ");
        EXPECT_EQ(state.grid.TextMatrix(0, 16), L"Liquid Density (25\u00B0C)");
        EXPECT_TRUE(state.option1);
        EXPECT_EQ(state.label2, L"");
        EXPECT_EQ(state.fileNameTxt, L"");
        state.closed = true;
    });
    Form().ShowModal();
    EXPECT_EQ(platform_.formsShown, 1);
}

}  // namespace
}  // namespace korvid::testing
