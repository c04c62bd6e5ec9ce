// The definition form's check, OK, close requests and a fresh showing.
#include <gtest/gtest.h>

#include "tests/unit/form_fixture.h"

namespace korvid::testing {
namespace {

constexpr wchar_t kInvalid[] = L"Enter or load valid components data.";
constexpr wchar_t kOtherName[] = L"Enter a different name for reporting.";

class DefinitionFormTest : public FormTest {};

TEST_F(DefinitionFormTest, OkChecksRowOneOpensTheReportAndTakesTheIdOption) {
    struct Case {
        const char* proves;
        std::vector<std::wstring> row1;
        const wchar_t* reportName;
        bool reportFolder, option1, closes;
        const wchar_t* status;
        bool reportOn;
    };
    const Case cases[] = {
        {"report opened, names as ids",
         {L"Water", L"7732-18-5"},
         L"run1",
         true,
         true,
         true,
         L"",
         true},
        {"CAS numbers as ids", {L"Water", L"7732-18-5"}, L"run1", true, false, true, L"", true},
        {"blanks are a name and a CAS number", {L" ", L" "}, L"run1", true, false, true, L"", true},
        {"empty name: no report",
         {L"Water", L"7732-18-5"},
         L"",
         true,
         false,
         true,
         L"No reporting on this Material Object.",
         false},
        {"no CAS number in row 1", {L"Water", L""}, L"run1", true, false, false, kInvalid, true},
        {"no name in row 1", {L"", L"7732-18-5"}, L"run1", true, false, false, kInvalid, true},
        {"missing report folder",
         {L"Water", L"7732-18-5"},
         L"run1",
         false,
         false,
         false,
         kOtherName,
         true},
        {"invalid file name",
         {L"Water", L"7732-18-5"},
         L"a|b",
         true,
         false,
         false,
         kOtherName,
         true},
    };
    for (const Case& c : cases) {
        ResetModule();
        platform_.files.clear();
        module_.g_reportOn = true;  // as every object creation leaves it
        module_.g_useCasAsId = c.option1;
        if (!c.reportFolder) platform_.folders = {platform_.moduleFolder};
        FillRow(1, c.row1);
        FillRow(2, {L"Ethane", L"74-84-0"});
        Form().OnReportNameChange(Window(), c.reportName);
        Form().OnOptionClick(Window(), c.option1);
        Form().OnOkClick(Window());
        EXPECT_EQ(State().closed, c.closes) << c.proves;
        EXPECT_EQ(State().label2, c.status) << c.proves;
        EXPECT_EQ(module_.g_reportOn, c.reportOn) << c.proves;
        const bool opened = c.closes && c.reportOn;
        EXPECT_TRUE(platform_.IsFileOpen(module_.g_reportFileNo) == opened &&
                    platform_.files.count(ReportPath(c.reportName)) == (opened ? 1u : 0u))
            << c.proves;
        // The id option is taken only when OK gets that far.
        EXPECT_EQ(module_.g_useCasAsId, c.closes ? !c.option1 : c.option1) << c.proves;
        if (c.closes) {
            EXPECT_TRUE(Form().OnCloseRequest(Window()) && module_.g_reportOn == c.reportOn)
                << "closing after OK";
        }
        platform_.CloseFile(module_.g_reportFileNo);
        platform_.folders.push_back(platform_.moduleFolder + L"\\CapeOpenValidationReports");
    }
}

TEST_F(DefinitionFormTest, CloseWithoutOkNeedsRowOneAndSwitchesReportingOff) {
    module_.g_reportOn = true;
    module_.g_useCasAsId = true;
    EXPECT_FALSE(Form().OnCloseRequest(Window()));
    EXPECT_EQ(State().label2, kInvalid);
    FillRow(1, {L"Water", L"7732-18-5"});
    Form().OnReportNameChange(Window(), L"never");
    EXPECT_TRUE(Form().OnCloseRequest(Window()) && State().closed);
    EXPECT_TRUE(module_.g_useCasAsId) << "the id option is not read";
    EXPECT_FALSE(module_.g_reportOn || platform_.files.count(ReportPath(L"never")));
}

TEST_F(DefinitionFormTest, EveryShowingStartsFromAFreshForm) {
    FillRow(3, {L"left", L"over"});
    Grid().SetColWidth(4, 5000);
    Form().OnOptionClick(Window(), false);
    Form().OnReportNameChange(Window(), L"old");
    platform_.formScripts.push_back([](auto& state, auto&, auto&) {
        EXPECT_EQ(state.grid.Rows(), 10);
        EXPECT_EQ(state.grid.TextMatrix(3, 0) + state.fileNameTxt, L"");
        EXPECT_TRUE(state.option1 && state.grid.ColWidth(4) == state.grid.ColWidth(0));
        state.closed = true;
    });
    Form().ShowModal();
}

}  // namespace
}  // namespace korvid::testing
