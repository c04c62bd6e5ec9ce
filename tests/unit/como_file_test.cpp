// Component definition files: the writer's numbers and lines, Save and Load
// through the form's buttons, and what the status line says.
#include <gtest/gtest.h>

#include "component_definition/como_file.h"
#include "component_definition/grid_transfer.h"
#include "tests/unit/form_fixture.h"

namespace korvid::testing {
namespace {

using component_definition::ComponentRecord;
using component_definition::FormatFileNumber;
using component_definition::ParseComponentLine;

constexpr wchar_t kFile[] = L"C:\\korvid\\three.como";
constexpr wchar_t kMethaneLine[] =
    L"NAME=Methane;CAS=74-82-8;FAMILY=Alkane;FORMULA=CH4;TB=111.66;PC=45.99;TC=190.56;"
    L"OMEGA=0.0115;MW=16.043;PCHOR=73.2;CP0=19.25;CP1=0.0521;CP2=0;CP3=-0;CP4=0;"
    L"HF=-74.52;ILD=0.4224";

class ComoFileTest : public FormTest {};

TEST_F(ComoFileTest, NumbersAreTruncatedTowardZeroInTheLocale) {
    struct Case {
        double value;
        int16_t decimals;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {0.0, 4, L"0"},
        {12.34567, 4, L"12.3456"},
        {-0.00005, 4, L"-0"},
        {0.009, 2, L"0"},
        {-83.82, 4, L"-83.8199"},
        {0.29, 2, L"0.28"},
        {-2.5e20, 2, L"-2.5E+20"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFileNumber(c.value, c.decimals), c.expected) << c.value;
    EXPECT_EQ(component_definition::FormatComponentLine(ThreeComponents()[0]), kMethaneLine);
}

TEST_F(ComoFileTest, LinesAreReadFieldByField) {
    const auto numbers = [](double tb, double pc) {
        ComponentRecord r;
        r.tb = tb;
        r.pc = pc;
        return r;
    };
    struct Case {
        const char* proves;
        const wchar_t* line;
        int16_t indexAfter;
        ComponentRecord expected;
    };
    const Case cases[] = {
        {"a comment or a line without = is no component", L"!NAME=x", 1, {}},
        {"keys in any case, value keeps a later =", L"name=Water;Cas=7732-18-5;fOrMuLa=a=b", 2,
         Record(L"Water", L"7732-18-5", L"", L"a=b")},
        {"a blank before = hides the key, a field without = is skipped", L"NAME =x;junk;CAS=1", 2,
         Record(L"", L"1")},
        {"a later key wins, a bad repeat keeps the earlier; blanks around a number",
         L"TB=1;TB=2;PC= 5 ;PC=x", 2, numbers(2, 5)},
    };
    for (const Case& c : cases) {
        std::vector<ComponentRecord> table(3);
        int16_t index = 2;
        ParseComponentLine(table, c.line, index);
        EXPECT_EQ(index, c.indexAfter) << c.proves;
        ExpectSameRecord(table[2], c.expected, c.proves);
    }
}

TEST_F(ComoFileTest, SaveWritesCrLfLinesThatLoadBack) {
    auto records = ThreeComponents();
    records[1] = Record(L"Meth;ane", L"1");
    records[1].cp0 = 19.999;
    records[1].hf = -0.5;
    records.resize(2);
    DefineComponents(records);
    component_definition::FillGridFromTable(module_, Grid());
    platform_.saveDialogAnswers = {std::wstring(kFile)};
    Form().OnSaveClick(Window());
    EXPECT_EQ(platform_.FileText(kFile),
              std::wstring(L"\r\n") + kMethaneLine +
                  L"\r\nNAME=Meth;ane;CAS=1;FAMILY=;FORMULA=;TB=0;PC=0;TC=0;OMEGA=0;MW=0;PCHOR=0;"
                  L"CP0=19.99;CP1=0;CP2=0;CP3=0;CP4=0;HF=-0.5;ILD=0\r\n");

    platform_.openDialogAnswers = {std::wstring(kFile)};
    Form().OnLoadClick(Window());
    ASSERT_EQ(module_.g_numComponents, 2);
    EXPECT_EQ(module_.g_components[0].cp1, 0.0521);
    EXPECT_EQ(module_.g_components[1].cp0, 19.99);
    EXPECT_EQ(Grid().TextMatrix(2, 0), L"Meth") << "a name is read up to its ;";
    // Both dialogs show .como files and the name last chosen; Save starts at "MO".
    const auto& save = platform_.dialogRequests.at(0);
    const auto& open = platform_.dialogRequests.at(1);
    EXPECT_TRUE(save.filter == L"CO Material Object(*.como)|*.como" && save.filter == open.filter);
    EXPECT_TRUE(save.overwritePrompt && !save.fileMustExist && save.fileName == L"MO");
    EXPECT_TRUE(open.fileMustExist && open.hideReadOnly && !open.overwritePrompt &&
                open.fileName == kFile);

    // An unwritable path ends the save without a word.
    platform_.files.clear();
    platform_.saveDialogAnswers = {std::wstring(L"C:\\nowhere\\x.como")};
    Form().OnSaveClick(Window());
    EXPECT_TRUE(platform_.files.empty() && platform_.messages.empty() && State().label2.empty());
}

TEST_F(ComoFileTest, LoadOutcomesAndStatusLine) {
    struct Case {
        const char* proves;
        std::optional<std::wstring> content;  // nullopt: no such file
        bool cancel;
        int32_t components;
        std::wstring status;
        int rows;
        const wchar_t* row1Name;  // the grid had "typed" there, the table two components
    };
    std::wstring lines;
    for (int k = 1; k <= 22; ++k) lines += L"NAME=c" + std::to_wstring(k) + L"\r\n";
    const Case cases[] = {
        {"cancelled: the table refills the grid", L"", true, 2, L"", 3, L"x"},
        {"comments only clear the table", L"!a\r\n\r\n;b\r\nno key\r\n", false, 0,
         L"You must  enter or load data", 10, L"typed"},
        {"a missing file keeps table and grid", std::nullopt, false, 2,
         std::wstring(L"The file could not be read: ") + kFile, 10, L"typed"},
        {"lone LF and CR end lines too", L"NAME=a\nNAME=b\rNAME=c", false, 3, L"", 4, L"a"},
        {"one component after the 21st", lines, false, 21,
         L"Only the first 21 components were loaded; 1 more was ignored.", 22, L"c1"},
        {"two components after the 21st", lines + L"NAME=c23", false, 21,
         L"Only the first 21 components were loaded; 2 more were ignored.", 22, L"c1"},
    };
    for (const Case& c : cases) {
        ResetModule();
        DefineComponents({Record(L"x", L"1"), Record(L"y", L"2")});
        Grid().SetTextMatrix(1, 0, L"typed");
        platform_.files.erase(kFile);
        if (c.content) platform_.files[kFile] = *c.content;
        platform_.openDialogAnswers = {c.cancel ? std::nullopt
                                                : std::optional<std::wstring>(kFile)};
        State().label2 = L"old";
        Form().OnLoadClick(Window());
        EXPECT_EQ(State().label2, c.status) << c.proves;
        EXPECT_TRUE(module_.g_numComponents == c.components && Grid().Rows() == c.rows &&
                    !platform_.IsFileOpen(1))
            << c.proves;
        EXPECT_EQ(Grid().TextMatrix(1, 0), c.row1Name) << c.proves;
    }
    EXPECT_EQ(Grid().TextMatrix(21, 0), L"c21");
}

}  // namespace
}  // namespace korvid::testing
