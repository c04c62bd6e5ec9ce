// Component files and clipboard texts no person would write on purpose:
// truncated, binary, huge, with mixed line ends. Only a load changes the table.
#include <gtest/gtest.h>

#include "component_definition/como_file.h"
#include "tests/unit/form_fixture.h"

namespace korvid::testing {
namespace {

using component_definition::ComponentRecord;
using namespace std::string_literals;

constexpr wchar_t kFile[] = L"C:\\korvid\\odd.como";
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
    const auto with = [](ComponentRecord r, auto change) {
        change(r);
        return r;
    };
    const Case cases[] = {
        {"cut in the middle of a key", L"NAME=a;CAS=1\r\nNAME=b;CA", 2, L"", Record(L"a", L"1"),
         L"b"},
        {"NUL bytes inside fields", L"NAME=a\0b;CAS=c;TB=1\0x;PC=2"s, 1, L"",
         with(Record(L"a\0b"s, L"c"), [](auto& r) { r.pc = 2; }), L"a\0b"s},
        {"characters of no code page", L"NAME=\u0081\u008D\uFFFD\U0001F600;CAS=\x1B", 1, L"",
         Record(L"\u0081\u008D\uFFFD\U0001F600", L"\x1B"), L"\u0081\u008D\uFFFD\U0001F600"},
        {"sixteen-bit text read as bytes: keys not found", L"\u00FF\u00FEN\0A\0M\0E\0=\0x\0"s, 1,
         L"", Record(L""), L""},
        {"a megabyte name", L"NAME=" + megabyte + L";CAS=1;TB=5", 1, L"",
         with(Record(megabyte, L"1"), [](auto& r) { r.tb = 5; }), megabyte},
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
        {"NUL inside a cell", L"a\0b\tc\r\n"s, 2, {{1, 0, L"a\0b"s}, {1, 1, L"c"}}, 0},
        {"only CRs: every other one is skipped as the LF",
         L"\r\r\r\r",
         5,
         {{1, 0, L""}, {2, 0, L""}, {3, 0, L"old"}, {4, 0, L"old"}},
         0},
        {"LF-only lines run into the next cell",
         L"a\tb\nc\td\r\ne\tf\r\n",
         3,
         {{1, 0, L"a"}, {1, 1, L"b\nc"}, {2, 0, L""}, {2, 1, L"old"}},
         0},
        {"a megabyte cell", megabyte + L"\tz\r\n", 2, {{1, 0, megabyte}, {1, 1, L"z"}}, 0},
        {"a hundred tabs on a line", std::wstring(100, L'\t') + L"\r\n", 2, {{1, 0, L"old"}}, 1},
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

}  // namespace
}  // namespace korvid::testing
