// A creation whose definition form cannot finish fails: no object, the
// HRESULT and error information say why.
//   unfinished-form.exe quit        a WM_QUIT reaches the thread while the form
//                                   is shown; it must be posted again for the
//                                   host's own loop
//   unfinished-form.exe no-desktop  run without a display: no window at all
#include <windows.h>
#include <objbase.h>

#include <string>
#include <thread>

#include "tests/e2e/clients/client_checks.h"

using namespace korvid::e2e;

namespace {

// Posts WM_QUIT (exit code 7) to `thread` once this process shows the form.
void QuitWhenTheFormShows(DWORD thread) {
    for (int waited = 0; waited < 30000; waited += 50) {
        HWND form = FindWindowW(nullptr, L"Material Object Definition");
        DWORD process = 0;
        if (form) GetWindowThreadProcessId(form, &process);
        if (form && process == GetCurrentProcessId() && IsWindowVisible(form)) {
            PostThreadMessageW(thread, WM_QUIT, 7, 0);
            return;
        }
        Sleep(50);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CLSID clsid{};
    Check(CLSIDFromProgID(L"Korvid.Tessel", &clsid) == S_OK, "Korvid.Tessel is registered");
    std::thread watcher;
    if (mode == L"quit") watcher = std::thread(QuitWhenTheFormShows, GetCurrentThreadId());

    IUnknown* object = nullptr;
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                        reinterpret_cast<void**>(&object));
    Check(object == nullptr, "no object was made");
    if (mode == L"quit") {
        watcher.join();
        CheckError(hr, HRESULT_FROM_WIN32(ERROR_CANCELLED),
                   L"Korvid|The Material Object Definition form was ended by WM_QUIT before OK: "
                   L"no object was created.",
                   "creation ended by WM_QUIT");
        MSG msg{};
        const bool quit = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
        Check(quit && msg.wParam == 7, "WM_QUIT with its exit code is posted again for the host");
    } else {
        CheckError(hr, E_FAIL,
                   L"Korvid|The Material Object Definition form could not be shown (no desktop "
                   L"for its window): no object was created.",
                   "creation without a desktop");
    }
    if (object) object->Release();
    CoUninitialize();
    return Finish();
}
