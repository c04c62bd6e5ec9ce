// Component files and clipboard texts that no person would write on purpose:
// truncated, binary, huge, made of separators only, with mixed line ends.
// The form must stay usable and the component table must only ever change
// by a load that read a file.
#include <gtest/gtest.h>

#include "component_definition/como_file.h"
#include "tests/unit/form_fixture.h"

namespace korvid::testing {
namespace {

using component_definition::ComponentRecord;
using namespace std::string_literals;

constexpr wchar_t kFile[] = L"C:\\korvid\\odd.como";
constexpr wchar_t kNoData[] = L"You must  enter or load data";

std::wstring Repeated(const std::wstring& line, int times) {
    std::wstring text;
    for (int k = 0; k < times; ++k) text += line;
    return text;
}

class MalformedInputTest : public FormTest {};

TEST_F(MalformedInputTest, OddFilesLoadAsTheLineRulesSay) {
    const std::wstring megabyte(1 << 20, L'x');
    struct Case {
        const char* proves;
        std::wstring content;
        int32_t components;
        std::wstring status;
        ComponentRecord first;  // component 0, when there is one
        std::wstring lastName;  // name of the last component loaded
    };
    const auto with = [](ComponentRecord r, auto change) { change(r); return r; };
    const Case cases[] = {
        {"no final line end", L"NAME=a;CAS=1\r\nNAME=b;CAS=2", 2, L"", Record(L"a", L"1"), L"b"},
        {"cut in the middle of a key", L"NAME=a;CAS=1\r\nNAME=b;CA", 2, L"", Record(L"a", L"1"), L"b"},
        {"cut right after the =", L"NAME=a;TB=", 1, L"", Record(L"a"), L"a"},
        {"cut in a number", L"NAME=a;TB=-;PC=+", 1, L"", Record(L"a"), L"a"},
        {"NUL bytes inside fields", L"NAME=a\0b;CAS=c;TB=1\0x;PC=2"s, 1, L"",
         with(Record(L"a\0b"s, L"c"), [](auto& r) { r.pc = 2; }),
         L"a\0b"s},
        {"a line of NULs is no component", std::wstring(8, L'\0') + L"\r\nNAME=z", 1, L"",
         Record(L"z"), L"z"},
        {"characters of no code page", L"NAME=\u0081\u008D\uFFFD\U0001F600;CAS=\x1B", 1, L"",
         Record(L"\u0081\u008D\uFFFD\U0001F600", L"\x1B"), L"\u0081\u008D\uFFFD\U0001F600"},
        {"sixteen-bit text read as bytes: keys not found", L"\u00FF\u00FEN\0A\0M\0E\0=\0x\0"s, 1,
         L"", Record(L""), L""},
        {"a megabyte name", L"NAME=" + megabyte + L";CAS=1;TB=5", 1, L"",
         with(Record(megabyte, L"1"), [](auto& r) { r.tb = 5; }), megabyte},
        {"ten thousand components", Repeated(L"NAME=n;CAS=c\r\n", 10000), 21,
         L"Only the first 21 components were loaded; 9979 more were ignored.", Record(L"n", L"c"),
         L"n"},
        {"only semicolons", L";;;;\r\n;;;;", 0, kNoData, {}, L""},
        {"only equals signs: one component of unknown keys", L"====", 1, L"", {}, L""},
        {"empty keys between separators", L"=;=;=\r\n;=;=", 1, L"", {}, L""},
        {"empty fields between real ones", L"NAME=a;;;;CAS=b;;", 1, L"", Record(L"a", L"b"), L"a"},
        {"mixed line ends", L"NAME=a\r\nNAME=b\nNAME=c\rNAME=d\n\rNAME=e\r\r\nNAME=f", 6, L"",
         Record(L"a"), L"f"},
        {"only line ends", L"\r\n\n\r\r\n\n\n", 0, kNoData, {}, L""},
    };
    for (const Case& c : cases) {
        ResetModule();
        platform_.files[kFile] = c.content;
        platform_.openDialogAnswers.push_back(std::wstring(kFile));
        Form().OnLoadClick(Window());
        ASSERT_EQ(module_.g_numComponents, c.components) << c.proves;
        EXPECT_EQ(State().label2, c.status) << c.proves;
        ASSERT_EQ(module_.g_components.size(), 21u) << c.proves;
        if (c.components == 0) {
            EXPECT_EQ(Grid().Rows(), 10) << c.proves << ": the grid is left alone";
            continue;
        }
        ExpectSameRecord(module_.g_components[0], c.first, c.proves);
        EXPECT_EQ(module_.g_components[c.components - 1].name, c.lastName) << c.proves;
        EXPECT_EQ(Grid().Rows(), c.components + 1) << c.proves;
        EXPECT_EQ(Grid().TextMatrix(c.components, 0), c.lastName) << c.proves;
        EXPECT_FALSE(platform_.IsFileOpen(1)) << c.proves << ": the file is closed";
    }
}

TEST_F(MalformedInputTest, AFailedLoadAfterAnOddOneKeepsWhatWasLoaded) {
    platform_.files[kFile] = L"NAME=a\0;CAS=1\r\n===="s;
    platform_.openDialogAnswers = {std::wstring(kFile), std::wstring(L"C:\\korvid\\gone.como")};
    Form().OnLoadClick(Window());
    ASSERT_EQ(module_.g_numComponents, 2);
    Grid().SetTextMatrix(1, 2, L"typed");
    Form().OnLoadClick(Window());
    EXPECT_EQ(State().label2, L"The file could not be read: C:\\korvid\\gone.como");
    EXPECT_EQ(module_.g_numComponents, 2);
    EXPECT_EQ(module_.g_components[0].name, L"a\0"s);
    EXPECT_EQ(Grid().TextMatrix(1, 2), L"typed") << "the grid keeps what was typed";
}

TEST_F(MalformedInputTest, OddClipboardTextsPasteAsTheReadingRulesSay) {
    struct Case {
        const char* proves;
        std::wstring clipboard;
        int rows;
        std::vector<Cell> cells;
        size_t messages;
    };
    const std::wstring megabyte(1 << 20, L'y');
    const Case cases[] = {
        {"NUL inside a cell", L"a\0b\tc\r\n"s, 2,
         {{1, 0, L"a\0b"s}, {1, 1, L"c"}}, 0},
        {"only tabs: the current cell takes them", L"\t\t\t\t", 10, {{2, 3, L"\t\t\t\t"}}, 0},
        {"only LFs: no line", L"\n\n\n", 10, {{2, 3, L"\n\n\n"}, {1, 0, L"old"}}, 0},
        {"only CRs: every other one is skipped as the LF", L"\r\r\r\r", 5,
         {{1, 0, L""}, {2, 0, L""}, {3, 0, L"old"}, {4, 0, L"old"}}, 0},
        {"LF-only lines run into the next cell", L"a\tb\nc\td\r\ne\tf\r\n", 3,
         {{1, 0, L"a"}, {1, 1, L"b\nc"}, {2, 0, L""}, {2, 1, L"old"}}, 0},
        {"truncated after the last CR", L"a\tb\r\nc\t", 2, {{1, 0, L"a"}, {1, 1, L"b"}, {1, 2, L"old"}}, 0},
        {"cut right after a CR", L"a\tb\r", 2, {{1, 0, L"a"}, {1, 1, L"b"}}, 0},
        {"a megabyte cell", megabyte + L"\tz\r\n", 2, {{1, 0, megabyte}, {1, 1, L"z"}}, 0},
        {"a hundred tabs on a line", std::wstring(100, L'\t') + L"\r\n", 2, {{1, 0, L"old"}}, 1},
        {"ten thousand lines of equals signs", Repeated(L"====\r\n", 10000), 10001,
         {{1, 0, L"===="}, {10000, 0, L"===="}, {10000, 1, L""}}, 0},
        {"semicolons are text", L";;;;\t;\r\n", 2, {{1, 0, L";;;;"}, {1, 1, L";"}}, 0},
    };
    for (const Case& c : cases) {
        ResetModule();
        DefineComponents({Record(L"kept", L"1")});
        PasteOverOld(c.clipboard);
        ASSERT_EQ(Grid().Rows(), c.rows) << c.proves;
        ExpectCells(c.cells, c.proves);
        EXPECT_EQ(platform_.messages.size(), c.messages) << c.proves;
        EXPECT_EQ(Grid().TextMatrix(0, 0), L"Name ") << c.proves << ": headers are never pasted";
        ASSERT_EQ(module_.g_numComponents, 1) << c.proves << ": a paste leaves the table alone";
        EXPECT_EQ(module_.g_components[0].name, L"kept") << c.proves;
    }
}

TEST_F(MalformedInputTest, PastedJunkSavesAndLoadsBackAsTheSameTable) {
    // Whatever a paste put into the grid, Save takes it into the table and a
    // Load of the saved file gives the same components.
    platform_.clipboard = L"a\0b\t1;2\tF\tH=2O\tabc\t 5 \r\n=\t\t\t\t-0\r\n"s;
    Form().OnMenuPaste(Window());
    platform_.saveDialogAnswers.push_back(std::wstring(kFile));
    Form().OnSaveClick(Window());
    ASSERT_EQ(module_.g_numComponents, 2);
    const std::vector<ComponentRecord> saved(module_.g_components.begin(),
                                             module_.g_components.begin() + 2);
    EXPECT_EQ(saved[0].tb, 0) << "letters give 0";
    EXPECT_EQ(saved[0].pc, 5) << "blanks around a number are allowed";
    platform_.openDialogAnswers.push_back(std::wstring(kFile));
    Form().OnLoadClick(Window());
    // The CAS "1;2" ends at its ";" on loading: the rest is a field without "=".
    ASSERT_EQ(module_.g_numComponents, 2);
    ComponentRecord first = saved[0];
    first.cas = L"1";
    ExpectSameRecord(module_.g_components[0], first, "first");
    ExpectSameRecord(module_.g_components[1], saved[1], "second");
}

}  // namespace
}  // namespace korvid::testing
