// The real platform's numbered files on real files in a temporary folder:
// the lines it reads, the names it refuses, and files it must not replace.
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
        folder_ = std::wstring(temp) + L"korvid-files-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
    }
    ~Win32FilesTest() override {
        for (const wchar_t* name : {L"f.como", L"a b.txt"}) {
            SetFileAttributesW(Path(name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(Path(name).c_str());
        }
        RemoveDirectoryW(folder_.c_str());
    }
    std::wstring Path(const std::wstring& name) const { return folder_ + L"\\" + name; }
    std::string Bytes(const std::wstring& path, const std::string* write = nullptr) {
        HANDLE file = CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        std::string bytes = write ? *write : std::string(GetFileSize(file, nullptr), '\0');
        DWORD done = 0;
        if (write) {
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
        } else if (!bytes.empty()) {
            ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
        }
        CloseHandle(file);
        return bytes;
    }
    platform::Platform& files_ = platform::DefaultPlatform();
    std::wstring folder_;
};

TEST_F(Win32FilesTest, InputLinesEndAtCrLfCrOrLf) {
    const std::string content = "a\nb\rc\r\n\r\nNAME=\x80\xE4\xDF\r\nlast";
    Bytes(Path(L"f.como"), &content);
    const int16_t fileNo = files_.FreeFileNumber();
    ASSERT_TRUE(files_.OpenFile(fileNo, Path(L"f.como"), FileMode::Input));
    std::vector<std::wstring> lines;
    std::wstring line;
    while (files_.ReadLine(fileNo, &line)) lines.push_back(line);
    files_.CloseFile(fileNo);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"a", L"b", L"c", L"", L"NAME=\u20AC\u00E4\u00DF", L"last"}));
    for (const std::wstring& path : {Path(L"absent.como"), folder_, Path(L"NUL")}) {
        EXPECT_FALSE(files_.OpenFile(fileNo, path, FileMode::Input)) << path.size();
        EXPECT_FALSE(files_.IsFileOpen(fileNo));
    }
}

TEST_F(Win32FilesTest, OutputRefusesNamesThatAreNoFilesAndFilesItMustNotReplace) {
    struct Case {
        const char* proves;
        std::wstring name;
        DWORD attributes;  // of an existing file; 0: none there
        DWORD otherShare;  // a second handle held with this sharing; ~0u: none
        bool opens;
    };
    const Case cases[] = {
        {"a plain file is replaced", L"f.como", FILE_ATTRIBUTE_NORMAL, ~0u, true},
        {"an unusual but valid name", L"a b.txt", 0, ~0u, true},
        {"a read-only file", L"f.como", FILE_ATTRIBUTE_READONLY, ~0u, false},
        {"a hidden file", L"f.como", FILE_ATTRIBUTE_HIDDEN, ~0u, false},
        {"a system file", L"f.como", FILE_ATTRIBUTE_SYSTEM, ~0u, false},
        {"a file another handle shares for reading only", L"f.como", FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ, false},
        {"a file held sharing read and write", L"f.como", FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
        {"a name with |", L"a|b.txt", 0, ~0u, false},
        {"a device name", L"CON.txt", 0, ~0u, false},
        {"a missing folder", L"missing\\f.txt", 0, ~0u, false},
        {"a folder", L"", 0, ~0u, false},
    };
    for (const Case& c : cases) {
        const std::wstring path = c.name.empty() ? folder_ : Path(c.name);
        const std::string kept = "kept\r\n";
        if (c.attributes) {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            Bytes(path, &kept);
            SetFileAttributesW(path.c_str(), c.attributes);
        }
        HANDLE other = c.otherShare == ~0u ? INVALID_HANDLE_VALUE
                                            : CreateFileW(path.c_str(), GENERIC_READ, c.otherShare, nullptr,
                                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const int16_t fileNo = files_.FreeFileNumber();
        EXPECT_EQ(files_.OpenFile(fileNo, path, FileMode::Output), c.opens) << c.proves;
        EXPECT_EQ(files_.WriteText(fileNo, L"new\r\n"), c.opens) << c.proves;
        files_.CloseFile(fileNo);
        if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
        if (c.attributes || c.opens) {
            EXPECT_EQ(Bytes(path), c.opens ? "new\r\n" : kept) << c.proves;
        }
    }
}

}  // namespace
}  // namespace korvid::testing
