// The real platform's numbered files on real files in a temporary folder:
// what the OS hands back for odd content and names, and that a refused open
// leaves nothing behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace korvid::testing {
namespace {

using platform::FileMode;
using namespace std::string_literals;

class Win32FilesTest : public ::testing::Test {
protected:
    Win32FilesTest() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"korvid-files-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
    }
    ~Win32FilesTest() override {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring path = folder_ + L"\\" + found.cFileName;
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(folder_.c_str());
    }

    std::wstring Path(const std::wstring& name) const { return folder_ + L"\\" + name; }

    void WriteBytes(const std::wstring& path, const std::string& bytes) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        ASSERT_EQ(written, bytes.size());
    }

    std::string ReadBytes(const std::wstring& path) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "<missing>";
        std::string bytes(GetFileSize(file, nullptr), '\0');
        DWORD read = 0;
        if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(file);
        return bytes;
    }

    // Every line of `path` through the platform; nullopt when it cannot be opened.
    std::optional<std::vector<std::wstring>> ReadLines(const std::wstring& path) {
        const int16_t fileNo = files_.FreeFileNumber();
        if (!files_.OpenFile(fileNo, path, FileMode::Input)) {
            EXPECT_FALSE(files_.IsFileOpen(fileNo)) << "a refused open keeps its number free";
            return std::nullopt;
        }
        std::vector<std::wstring> lines;
        std::wstring line;
        while (files_.ReadLine(fileNo, &line)) lines.push_back(line);
        files_.CloseFile(fileNo);
        return lines;
    }

    platform::Platform& files_ = platform::DefaultPlatform();
    std::wstring folder_;
};

TEST_F(Win32FilesTest, InputLinesOfOddContent) {
    const std::string megabyte(1 << 20, 'x');
    std::string tenThousand;
    for (int k = 0; k < 10000; ++k) tenThousand += "NAME=c" + std::to_string(k) + "\r\n";
    struct Case {
        const char* proves;
        std::string bytes;
        size_t lines;
        std::vector<std::wstring> first;  // the first lines as expected
    };
    const Case cases[] = {
        {"an empty file has no line", "", 0, {}},
        {"a last line without its end", "NAME=a\r\nNAME=b", 2, {L"NAME=a", L"NAME=b"}},
        {"cut in the middle of a field", "NAME=a;CA", 1, {L"NAME=a;CA"}},
        {"mixed line ends", "a\nb\rc\r\n\r\nd\n\re", 7, {L"a", L"b", L"c", L"", L"d", L"", L"e"}},
        {"NUL bytes stay in the line", std::string("N\0x\r\n\0\0", 7), 2,
         {L"N\0x"s, std::wstring(2, L'\0')}},
        {"ANSI letters become their characters", "\x80\xE4\xDF", 1, {L"\u20AC\u00E4\u00DF"}},
        {"only separators", ";;;;\r\n====", 2, {L";;;;", L"===="}},
        {"a line of a megabyte", megabyte + "\r\nTB=1", 2, {std::wstring(1 << 20, L'x'), L"TB=1"}},
        {"ten thousand lines", tenThousand, 10000, {L"NAME=c0", L"NAME=c1"}},
    };
    for (const Case& c : cases) {
        const std::wstring path = Path(L"odd.como");
        WriteBytes(path, c.bytes);
        const auto lines = ReadLines(path);
        ASSERT_TRUE(lines.has_value()) << c.proves;
        ASSERT_EQ(lines->size(), c.lines) << c.proves;
        for (size_t k = 0; k < c.first.size(); ++k) {
            EXPECT_EQ((*lines)[k], c.first[k]) << c.proves << ", line " << k;
        }
    }
}

TEST_F(Win32FilesTest, EveryByteValueIsReadWithoutLoss) {
    // Four megabytes of every byte value in a scrambled order: no byte that
    // is not a line end may vanish, whatever the code page makes of it.
    std::string bytes(4 << 20, '\0');
    uint32_t state = 12345;
    size_t ends = 0;
    for (auto& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<char>(state >> 24);
        if (b == '\r' || b == '\n') ++ends;
    }
    const std::wstring path = Path(L"binary.como");
    WriteBytes(path, bytes);
    const auto lines = ReadLines(path);
    ASSERT_TRUE(lines.has_value());
    size_t characters = 0;
    for (const auto& line : *lines) characters += line.size();
    EXPECT_EQ(characters, bytes.size() - ends);
    EXPECT_LE(lines->size(), ends + 1);
}

TEST_F(Win32FilesTest, NumbersWithABinaryTailAreNoNumbers) {
    struct Case { std::wstring text; bool number; double value; };
    const Case cases[] = {
        {L"12.5", true, 12.5},
        {L" 12.5 ", true, 12.5},
        {L"12\0"s, false, 0},
        {L"1\0x"s, false, 0},
        {L"\0"s, false, 0},
        {L"", false, 0},
    };
    for (const Case& c : cases) {
        double value = 0;
        EXPECT_EQ(files_.ParseNumber(c.text, &value), c.number) << c.text.size();
        if (c.number) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST_F(Win32FilesTest, OutputNamesThatAreNoFilesAreRefused) {
    const std::vector<std::wstring> refused = {
        Path(L"a<b.txt"), Path(L"a>b.txt"), Path(L"a\"b.txt"), Path(L"a|b.txt"),
        Path(L"a?b.txt"), Path(L"a*b.txt"), Path(L"a:b.txt"),
        Path(std::wstring(300, L'r') + L".txt"),
        Path(L"missing\\folder.txt"),
        Path(L"CON.txt"), Path(L"NUL.txt"), Path(L"nul"), Path(L"AUX.txt"), Path(L"COM1.txt"),
        Path(L"LPT1.txt"), Path(L"PRN.txt"),
        folder_,  // a folder
    };
    for (const auto& path : refused) {
        const int16_t fileNo = files_.FreeFileNumber();
        EXPECT_FALSE(files_.OpenFile(fileNo, path, FileMode::Output))
            << std::string(path.begin(), path.end());
        EXPECT_FALSE(files_.IsFileOpen(fileNo));
        EXPECT_FALSE(files_.WriteText(fileNo, L"lost\r\n"));
        files_.CloseFile(fileNo);  // closing a number that is not open does nothing
    }
    // Unusual but valid names are files like any other.
    for (const std::wstring name : {L"a b.txt", L"x.y.z.txt", L"\u00E4\u00DF\u20AC.txt", L"#1 (2).txt"}) {
        const int16_t fileNo = files_.FreeFileNumber();
        ASSERT_TRUE(files_.OpenFile(fileNo, Path(name), FileMode::Output)) << name.size();
        EXPECT_TRUE(files_.WriteText(fileNo, L"line\r\n"));
        files_.CloseFile(fileNo);
        EXPECT_EQ(ReadBytes(Path(name)), "line\r\n");
    }
}

TEST_F(Win32FilesTest, OutputOverAFileThatIsReadOnlyOrLockedIsRefusedAndKeepsIt) {
    struct Case {
        const char* proves;
        DWORD attributes;  // of the existing file
        DWORD otherShare;  // a second handle held with this sharing, or none
        bool otherHolds;
        bool opens;
    };
    const Case cases[] = {
        {"a plain file is emptied and written", FILE_ATTRIBUTE_NORMAL, 0, false, true},
        {"a read-only file", FILE_ATTRIBUTE_READONLY, 0, false, false},
        // CREATE_ALWAYS refuses these on Windows; Wine would replace them.
        {"a hidden file", FILE_ATTRIBUTE_HIDDEN, 0, false, false},
        {"a system file", FILE_ATTRIBUTE_SYSTEM, 0, false, false},
        {"a file another handle holds without sharing", FILE_ATTRIBUTE_NORMAL, 0, true, false},
        {"a file another handle reads, sharing only reading", FILE_ATTRIBUTE_NORMAL,
         FILE_SHARE_READ, true, false},
        {"a file another handle holds sharing read and write", FILE_ATTRIBUTE_NORMAL,
         FILE_SHARE_READ | FILE_SHARE_WRITE, true, true},
    };
    for (const Case& c : cases) {
        const std::wstring path = Path(L"report.txt");
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteBytes(path, "kept\r\n");
        SetFileAttributesW(path.c_str(), c.attributes);
        HANDLE other = INVALID_HANDLE_VALUE;
        if (c.otherHolds) {
            other = CreateFileW(path.c_str(), GENERIC_READ, c.otherShare, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(other, INVALID_HANDLE_VALUE) << c.proves;
        }
        const int16_t fileNo = files_.FreeFileNumber();
        EXPECT_EQ(files_.OpenFile(fileNo, path, FileMode::Output), c.opens) << c.proves;
        EXPECT_EQ(files_.IsFileOpen(fileNo), c.opens) << c.proves;
        EXPECT_EQ(files_.WriteText(fileNo, L"new\r\n"), c.opens) << c.proves;
        files_.CloseFile(fileNo);
        if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
        EXPECT_EQ(ReadBytes(path), c.opens ? "new\r\n" : "kept\r\n") << c.proves;
    }
}

TEST_F(Win32FilesTest, InputWhileAnotherProgramWritesOrLocksTheFile) {
    struct Case {
        const char* proves;
        DWORD otherAccess;
        DWORD otherShare;
        bool opens;
    };
    const Case cases[] = {
        {"another writer that shares reading and writing", GENERIC_WRITE,
         FILE_SHARE_READ | FILE_SHARE_WRITE, true},
        {"another reader that shares reading", GENERIC_READ, FILE_SHARE_READ, true},
        {"another handle without sharing", GENERIC_READ, 0, false},
    };
    const std::wstring path = Path(L"shared.como");
    WriteBytes(path, "NAME=a\r\n");
    for (const Case& c : cases) {
        HANDLE other = CreateFileW(path.c_str(), c.otherAccess, c.otherShare, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE) << c.proves;
        const auto lines = ReadLines(path);
        CloseHandle(other);
        EXPECT_EQ(lines.has_value(), c.opens) << c.proves;
        if (lines && c.opens) {
            EXPECT_EQ(*lines, std::vector<std::wstring>{L"NAME=a"}) << c.proves;
        }
    }
    for (const std::wstring& path : {Path(L"absent.como"), folder_, Path(L"NUL"), Path(L"CON")}) {
        EXPECT_FALSE(ReadLines(path).has_value()) << std::string(path.begin(), path.end());
    }
}

}  // namespace
}  // namespace korvid::testing
