// The real platform's numbered files on real files in a temporary folder:
// the lines it reads, the names it refuses and files it must not replace.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace korvid::testing {
namespace {

using platform::FileMode;

class Win32FilesTest : public ::testing::Test {
protected:
    Win32FilesTest() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = temp;
        file_ = folder_ + L"korvid-files-" + std::to_wstring(GetCurrentProcessId()) + L".como";
    }
    ~Win32FilesTest() override {
        SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(file_.c_str());
    }
    // Writes `bytes` to the file through the OS and gives it `attributes`.
    void Write(const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
        HANDLE file = CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD done = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
        CloseHandle(file);
        SetFileAttributesW(file_.c_str(), attributes);
    }
    std::vector<std::wstring> Lines(const std::wstring& path) {
        std::vector<std::wstring> lines;
        const int16_t fileNo = files_.FreeFileNumber();
        if (!files_.OpenFile(fileNo, path, FileMode::Input)) return {L"<refused>"};
        for (std::wstring line; files_.ReadLine(fileNo, &line);) lines.push_back(line);
        files_.CloseFile(fileNo);
        return lines;
    }
    platform::Platform& files_ = platform::DefaultPlatform();
    std::wstring folder_;
    std::wstring file_;
};

TEST_F(Win32FilesTest, InputLinesEndAtCrLfCrOrLfAndLettersAreTheUsersCodePage) {
    Write("a\nb\rc\r\n\r\nNAME=\x80\xE4\xDF\r\nlast");
    EXPECT_EQ(Lines(file_), (std::vector<std::wstring>{L"a", L"b", L"c", L"", L"NAME=\u20AC\u00E4\u00DF", L"last"}));
    EXPECT_EQ(Lines(folder_ + L"absent.como"), std::vector<std::wstring>{L"<refused>"});
}

TEST_F(Win32FilesTest, OutputRefusesNamesThatAreNoFilesAndFilesItMustNotReplace) {
    struct Case {
        const char* proves;
        std::wstring name;  // empty: the test's file, holding "kept" with these attributes
        DWORD attributes;
        DWORD otherShare;  // another handle holds the file with this sharing; ~0u: none
        bool opens;
    };
    const Case cases[] = {
        {"a plain file is replaced", L"", FILE_ATTRIBUTE_NORMAL, ~0u, true},
        {"a read-only file", L"", FILE_ATTRIBUTE_READONLY, ~0u, false},
        {"a hidden file", L"", FILE_ATTRIBUTE_HIDDEN, ~0u, false},
        {"a system file", L"", FILE_ATTRIBUTE_SYSTEM, ~0u, false},
        {"a file another handle shares for reading only", L"", FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ, false},
        {"a file another handle shares for writing", L"", FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
        {"a name with |", L"a|b.txt", 0, ~0u, false},
        {"a device name", L"CON.txt", 0, ~0u, false},
    };
    for (const Case& c : cases) {
        if (c.name.empty()) Write("kept\r\n", c.attributes);
        HANDLE other = c.otherShare == ~0u ? INVALID_HANDLE_VALUE
                                            : CreateFileW(file_.c_str(), GENERIC_READ, c.otherShare, nullptr,
                                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const int16_t fileNo = files_.FreeFileNumber();
        EXPECT_EQ(files_.OpenFile(fileNo, c.name.empty() ? file_ : folder_ + c.name, FileMode::Output), c.opens)
            << c.proves;
        EXPECT_EQ(files_.WriteText(fileNo, L"new"), c.opens) << c.proves;
        files_.CloseFile(fileNo);
        if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
        if (c.name.empty()) {
            EXPECT_EQ(Lines(file_), std::vector<std::wstring>{c.opens ? L"new" : L"kept"}) << c.proves;
        }
    }
}

}  // namespace
}  // namespace korvid::testing
