// korvid-e2e-hold-file: another program that keeps a file open without
// sharing it, as an editor that locks what it edits.
//
//   korvid-e2e-hold-file.exe PATH SECONDS
//
// Opens (or creates) PATH with no sharing at all, prints "holding" once it
// holds it, and keeps it SECONDS seconds or until the file "PATH.release"
// appears. Exit code 0 after holding it, 1 when it could not be opened,
// 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 || _wtoi(argv[2]) <= 0) {
        std::printf("usage: korvid-e2e-hold-file.exe PATH SECONDS\n");
        return 2;
    }
    const std::wstring path = argv[1];
    const std::wstring release = path + L".release";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("cannot open: error %lu\n", GetLastError());
        return 1;
    }
    std::printf("holding\n");
    std::fflush(stdout);
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(_wtoi(argv[2])) * 1000;
    while (GetTickCount64() < end &&
           GetFileAttributesW(release.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Sleep(50);
    }
    CloseHandle(file);
    std::printf("released\n");
    return 0;
}
