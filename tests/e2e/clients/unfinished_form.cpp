// A creation whose definition form cannot finish fails and makes no object;
// the HRESULT and error information say why.
//   unfinished-form.exe quit        a WM_QUIT reaches the thread while the form
//                                   is shown (and is posted again for the host)
//   unfinished-form.exe no-desktop  run without a display: no window at all
#include <thread>

#include "tests/e2e/clients/client.h"

using namespace korvid::e2e;

int wmain(int argc, wchar_t** argv) {
    const bool quit = argc > 1 && std::wstring(argv[1]) == L"quit";
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // Posts WM_QUIT (exit code 7) to this thread once its form shows.
    std::thread watcher([thread = GetCurrentThreadId(), quit] {
        for (int waited = 0; quit && waited < 30000; waited += 50, Sleep(50)) {
            HWND form = FindWindowW(nullptr, L"Material Object Definition");
            DWORD process = 0;
            if (form && GetWindowThreadProcessId(form, &process) && process == GetCurrentProcessId() && IsWindowVisible(form))
                return void(PostThreadMessageW(thread, WM_QUIT, 7, 0));
        }
    });
    CLSID clsid{};
    IUnknown* object = nullptr;
    CLSIDFromProgID(L"Korvid.Tessel", &clsid);
    Print("CoCreateInstance", CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object)));
    watcher.join();
    MSG msg{};
    const BOOL quitAgain = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    std::printf("object: %d, WM_QUIT posted again: %d, exit code %d\n", object != nullptr, quitAgain, int(msg.wParam));
    CoUninitialize();
    return 0;
}
