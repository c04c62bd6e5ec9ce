// Reading and writing component definition files, and the Load and Save buttons.
#include <gtest/gtest.h>

#include "component_definition/como_file.h"
#include "component_definition/grid_transfer.h"
#include "tests/unit/form_fixture.h"

namespace korvid::testing {
namespace {

using component_definition::ComponentRecord;
using component_definition::FormatComponentLine;
using component_definition::FormatFileNumber;
using component_definition::ParseComponentLine;

constexpr wchar_t kFile[] = L"C:\\korvid\\three.como";
constexpr wchar_t kMethaneLine[] =
    L"NAME=Methane;CAS=74-82-8;FAMILY=Alkane;FORMULA=CH4;TB=111.66;PC=45.99;TC=190.56;"
    L"OMEGA=0.0115;MW=16.043;PCHOR=73.2;CP0=19.25;CP1=0.0521;CP2=0;CP3=-0;CP4=0;HF=-74.52;ILD=0.4224";

class ComoFileTest : public FormTest {};

TEST_F(ComoFileTest, FormatFileNumberTruncatesTowardZeroInTheLocale) {
    struct Case { double value; int16_t decimals; const wchar_t* expected; };
    const Case cases[] = {
        {0.0, 4, L"0"},         {1.0, 4, L"1"},            {-1.0, 4, L"-1"},
        {12.34567, 4, L"12.3456"}, {19.999, 2, L"19.99"},  {0.00005, 4, L"0"},
        {-0.00005, 4, L"-0"},   {-0.0000000113, 4, L"-0"}, {0.009, 2, L"0"},
        {0.5, 4, L"0.5"},       {-74.52, 4, L"-74.52"},    {0.05213, 4, L"0.0521"},
        {-83.82, 4, L"-83.8199"},  {16.043, 4, L"16.043"},    {0.29, 2, L"0.28"},
        {4.35, 2, L"4.34"},     {19.251, 2, L"19.25"},     {0.4224, 4, L"0.4224"},
        {1e15, 4, L"1E+15"},    {-2.5e20, 2, L"-2.5E+20"}, {1e300, 4, L"1E+300"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatFileNumber(c.value, c.decimals), c.expected) << c.value;
    }
    // The writer's line for a real component, every number truncated.
    EXPECT_EQ(FormatComponentLine(ThreeComponents()[0]), kMethaneLine);
}

TEST_F(ComoFileTest, ParseComponentLineReadsFieldsAndCountsOnlyComponentLines) {
    struct Case {
        const char* proves;
        const wchar_t* line;
        int16_t indexAfter;  // index starts at 2
        ComponentRecord expected;
    };
    const Case cases[] = {
        {"comment", L"!NAME=x", 1, {}},
        {"leading semicolon", L";NAME=x", 1, {}},
        {"no equals sign", L"NAME x", 1, {}},
        {"keys in any case", L"name=Water;Cas=7732-18-5;fOrMuLa=H2O", 2,
         Record(L"Water", L"7732-18-5", L"", L"H2O")},
        {"blank before = or after ; hides a key", L"NAME =x;CAS=1; TB=3;PC=4", 2,
         [] { ComponentRecord r; r.cas = L"1"; r.pc = 4; return r; }()},
        {"value keeps later =", L"FORMULA=a=b;NAME= two  blanks ", 2,
         Record(L" two  blanks ", L"", L"", L"a=b")},
        {"numbers: letters and empty stay 0, blanks allowed", L"TB=abc;PC=;TC= 12.5 ;MW=-1e3", 2,
         [] { ComponentRecord r; r.tc = 12.5; r.mw = -1000; return r; }()},
        {"a later key wins, a bad repeat keeps the earlier", L"TB=1;TB=2;PC=5;PC=x", 2,
         [] { ComponentRecord r; r.tb = 2; r.pc = 5; return r; }()},
        {"only an unknown key adds a fresh component", L"XYZ=1", 2, {}},
        {"a field without = is skipped alone", L"NAME=a;junk;CAS=b;", 2, Record(L"a", L"b")},
        {"the rest without = ends the line", L"NAME=a;b", 2, Record(L"a")},
    };
    for (const Case& c : cases) {
        std::vector<ComponentRecord> table(3);
        int16_t index = 2;
        ParseComponentLine(table, c.line, index);
        EXPECT_EQ(index, c.indexAfter) << c.proves;
        ExpectSameRecord(table[2], c.expected, c.proves);
    }
}

TEST_F(ComoFileTest, SaveThenLoadKeepsTextsAndTruncatedNumbers) {
    auto records = ThreeComponents();
    records[0].tb = 12.34567;
    records[0].cp0 = 19.999;
    records[0].cp2 = 0.00005;
    records[0].name = L"Meth;ane";  // written unchanged, read back up to the ";"
    records[1].family.clear();
    DefineComponents(records);
    component_definition::FillGridFromTable(module_, Grid());
    platform_.saveDialogAnswers.push_back(kFile);
    Form().OnSaveClick(Window());
    const std::wstring text = platform_.FileText(kFile);
    EXPECT_EQ(text.substr(0, 2), L"\r\n") << "the file starts with an empty line";
    EXPECT_NE(text.find(L"\r\nNAME=Meth;ane;CAS=74-82-8;"), std::wstring::npos);
    EXPECT_EQ(text.substr(text.size() - 11), L"ILD=0.997\r\n");
    EXPECT_EQ(module_.g_filePath, kFile);
    EXPECT_TRUE(State().label2.empty());

    Grid().SetTextMatrix(2, 2, L"typed");
    platform_.openDialogAnswers.push_back(kFile);
    Form().OnLoadClick(Window());
    ASSERT_EQ(module_.g_numComponents, 3);
    ASSERT_EQ(module_.g_components.size(), 21u);
    ComponentRecord first = records[0];
    first.name = L"Meth";
    first.tb = 12.3456;
    first.cp0 = 19.99;
    first.cp1 = 0.0521;
    first.cp2 = 0;
    first.cp3 = -0.0;
    ExpectSameRecord(module_.g_components[0], first, "first component");
    EXPECT_EQ(module_.g_components[1].family, L"");
    EXPECT_EQ(module_.g_components[1].hf, -83.8199) << "truncated on doubles";
    EXPECT_EQ(Grid().Rows(), 4);
    EXPECT_EQ(Grid().TextMatrix(2, 2), L"typed") << "an empty family leaves the cell alone";
    EXPECT_EQ(Grid().TextMatrix(3, 0), L"Water");
}

TEST_F(ComoFileTest, LoadOutcomesAndStatusLine) {
    struct Case {
        const char* proves;
        std::optional<std::wstring> content;  // nullopt: no such file
        bool cancel;
        int32_t components;                   // g_numComponents afterwards
        std::wstring status;
        int rows;
        bool earlierTable;  // two components defined and a name typed before the load
        const wchar_t* row1Name;
    };
    auto numbered = [](int count) {
        std::wstring text = L";header\r\n!comment\r\n\r\nplain text\r\n";
        for (int k = 1; k <= count; ++k) text += L"NAME=c" + std::to_wstring(k) + L"\r\n";
        return text;
    };
    const Case cases[] = {
        {"cancelled, nothing loaded before", L"", true, 0, L"You must  enter or load data", 10, false, L""},
        {"only comments and empty lines clear the table", L"!a\r\n\r\n;b\r\nno key\r\n", false, 0,
         L"You must  enter or load data", 10, false, L""},
        {"a missing file keeps table and grid", std::nullopt, false, 2,
         std::wstring(L"The file could not be read: ") + kFile, 10, true, L"typed"},
        {"lone LF ends lines too", L"NAME=a\nNAME=b\rNAME=c", false, 3, L"", 4, false, L"a"},
        {"one component after the 21st", numbered(22), false, 21,
         L"Only the first 21 components were loaded; 1 more was ignored.", 22, true, L"c1"},
        {"components after the 21st are ignored and reported", numbered(23), false, 21,
         L"Only the first 21 components were loaded; 2 more were ignored.", 22, true, L"c1"},
    };
    for (const Case& c : cases) {
        ResetModule();
        if (c.earlierTable) {
            DefineComponents({Record(L"x", L"1"), Record(L"y", L"2")});
            Grid().SetTextMatrix(1, 0, L"typed");
        }
        if (c.content) platform_.files[kFile] = *c.content;
        else platform_.files.erase(kFile);
        platform_.openDialogAnswers.push_back(c.cancel ? std::nullopt
                                                       : std::optional<std::wstring>(kFile));
        State().label2 = L"old";
        Form().OnLoadClick(Window());
        EXPECT_EQ(module_.g_numComponents, c.components) << c.proves;
        EXPECT_EQ(State().label2, c.status) << c.proves;
        EXPECT_EQ(Grid().Rows(), c.rows) << c.proves;
        EXPECT_EQ(Grid().TextMatrix(1, 0), c.row1Name) << c.proves;
        EXPECT_LE(module_.g_numComponents, static_cast<int32_t>(module_.g_components.size()));
    }
    EXPECT_EQ(Grid().TextMatrix(21, 0), L"c21");
    EXPECT_FALSE(platform_.IsFileOpen(1)) << "the file is closed after loading";
}

TEST_F(ComoFileTest, DialogsKeepTheirFileNameAndSettings) {
    platform_.files[kFile] = L"NAME=a;CAS=1\r\n";
    platform_.openDialogAnswers = {std::wstring(kFile), std::nullopt};
    platform_.saveDialogAnswers = {std::nullopt};
    Form().OnLoadClick(Window());
    Grid().SetTextMatrix(1, 0, L"edited");
    Form().OnLoadClick(Window());  // cancelled: the table refills the grid
    EXPECT_EQ(Grid().TextMatrix(1, 0), L"a");
    Form().OnSaveClick(Window());  // cancelled
    Form().OnLoadClick(Window());

    ASSERT_EQ(platform_.dialogRequests.size(), 4u);
    const auto& open = platform_.dialogRequests[0];
    EXPECT_EQ(open.filter, L"CO Material Object(*.como)|*.como");
    EXPECT_TRUE(open.fileMustExist && open.hideReadOnly && !open.overwritePrompt);
    EXPECT_EQ(open.fileName, L"");
    EXPECT_EQ(platform_.dialogRequests[1].fileName, kFile);
    const auto& save = platform_.dialogRequests[2];
    EXPECT_EQ(save.filter, open.filter);
    EXPECT_TRUE(save.overwritePrompt && !save.fileMustExist);
    EXPECT_EQ(save.fileName, L"MO");
    EXPECT_EQ(platform_.dialogRequests[3].fileName, L"MO") << "the save dialog's name stays";
}

TEST_F(ComoFileTest, SaveOutcomes) {
    struct Case {
        const char* proves;
        std::optional<std::wstring> answer;
        std::wstring writtenTo;  // empty: nothing written
        std::wstring status;
    };
    const Case cases[] = {
        {"cancel writes nothing but rebuilds the table", std::nullopt, L"", L"old"},
        {"an empty path saves as MO", L"", L"MO", L"old"},
        {"an unwritable path ends the save without a word", L"C:\\nowhere\\x.como", L"",
         L"old"},
    };
    for (const Case& c : cases) {
        ResetModule();
        platform_.folders.push_back(L"MO");  // the scripted files take a bare name as its own folder
        FillRow(2, {L"Water", L"7732-18-5", L"", L"", L"373.15"});
        platform_.saveDialogAnswers.push_back(c.answer);
        State().label2 = L"old";
        Form().OnSaveClick(Window());
        EXPECT_EQ(module_.g_numComponents, 1) << c.proves;
        EXPECT_EQ(module_.g_components[0].tb, 373.15) << c.proves;
        EXPECT_EQ(State().label2, c.status) << c.proves;
        if (!c.writtenTo.empty()) {
            EXPECT_EQ(platform_.FileText(c.writtenTo).substr(0, 20), L"\r\nNAME=Water;CAS=773");
        }
    }
}

TEST(ComoFileGerman, CommaIsTheDecimalSeparatorBothWays) {
    platform::ScriptedPlatform german(0x0407);
    platform::ScopedPlatform scope(german);
    EXPECT_EQ(FormatFileNumber(12.34567, 4), L"12,3456");
    EXPECT_EQ(FormatFileNumber(-74.52, 4), L"-74,52");
    std::vector<ComponentRecord> table(1);
    int16_t index = 0;
    ParseComponentLine(table, L"TB= 111,66 ;CP0=19,25", index);
    EXPECT_EQ(table[0].tb, 111.66);
    EXPECT_EQ(table[0].cp0, 19.25);
}

}  // namespace
}  // namespace korvid::testing
