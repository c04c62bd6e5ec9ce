// The real platform's numbered files on a real file: the lines it reads, the
// names it refuses and files it must not replace.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace korvid::testing {
namespace {

using platform::FileMode;
using Lines = std::vector<std::wstring>;

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
        HANDLE file =
            CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD done = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
        CloseHandle(file);
        SetFileAttributesW(file_.c_str(), attributes);
    }
    Lines Read() {
        Lines lines;
        const int16_t fileNo = files_.FreeFileNumber();
        if (!files_.OpenFile(fileNo, file_, FileMode::Input)) return {L"<refused>"};
        for (std::wstring line; files_.ReadLine(fileNo, &line);) lines.push_back(line);
        files_.CloseFile(fileNo);
        return lines;
    }
    platform::Platform& files_ = platform::DefaultPlatform();
    std::wstring folder_;
    std::wstring file_;
};

TEST_F(Win32FilesTest, LinesReadInTheUsersCodePageAndFilesThatOutputMustNotReplace) {
    Write("a\nb\rc\r\n\r\nNAME=\x80\xE4\xDF\r\nlast");
    EXPECT_EQ(Read(), (Lines{L"a", L"b", L"c", L"", L"NAME=\u20AC\u00E4\u00DF", L"last"}));

    struct Case {
        const char* proves;
        std::wstring name;  // empty: the test's file, holding "kept" with these attributes
        DWORD attributes;
        bool opens;
    };
    const Case cases[] = {
        {"a plain file is replaced", L"", FILE_ATTRIBUTE_NORMAL, true},
        {"a read-only file", L"", FILE_ATTRIBUTE_READONLY, false},
        {"a hidden file", L"", FILE_ATTRIBUTE_HIDDEN, false},
        {"a system file", L"", FILE_ATTRIBUTE_SYSTEM, false},
        {"a name with |", L"a|b.txt", 0, false},
        {"a device name", L"CON.txt", 0, false},
    };
    for (const Case& c : cases) {
        if (c.name.empty()) Write("kept\r\n", c.attributes);
        const int16_t fileNo = files_.FreeFileNumber();
        EXPECT_EQ(
            files_.OpenFile(fileNo, c.name.empty() ? file_ : folder_ + c.name, FileMode::Output),
            c.opens)
            << c.proves;
        EXPECT_EQ(files_.WriteText(fileNo, L"new\r\n"), c.opens) << c.proves;
        files_.CloseFile(fileNo);
        if (c.name.empty()) {
            EXPECT_EQ(Read(), Lines{c.opens ? L"new" : L"kept"}) << c.proves;
        }
    }
}

}  // namespace
}  // namespace korvid::testing
