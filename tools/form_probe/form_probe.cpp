// korvid-form-probe [--count N] [--deadline SECONDS] [--message TEXT]: a host
// that creates N Korvid.Tessel objects through COM (default 1), so that their
// definition forms appear, and prints "created: <names>|<ids>" for each. With
// --message it then shows TEXT in a message box captioned "Korvid probe" and
// waits for its OK. After the deadline (default 120 s) it ends itself with
// exit code 3; 0 when every creation succeeded, 1 otherwise, 2 on bad arguments.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <oleauto.h>

#include <cwchar>
#include <string>

#include "tools/form_driver/form_driver.h"

namespace {

using korvid::form_driver::PrintLine;

DWORD WINAPI Deadline(void* seconds) {
    Sleep(static_cast<DWORD>(reinterpret_cast<INT_PTR>(seconds)) * 1000);
    PrintLine(L"deadline: the probe ends itself");
    TerminateProcess(GetCurrentProcess(), 3);
    return 0;
}

// A text array property read late-bound, its elements joined by ",".
std::wstring JoinedProperty(IDispatch* object, const wchar_t* name) {
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPPARAMS none{};
    VARIANT value;
    VariantInit(&value);
    BSTR* texts = nullptr;
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) ||
        FAILED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                              &value, nullptr, nullptr)) ||
        value.vt != (VT_ARRAY | VT_BSTR) ||
        FAILED(SafeArrayAccessData(value.parray, reinterpret_cast<void**>(&texts)))) {
        VariantClear(&value);
        return L"?";
    }
    std::wstring joined;
    for (ULONG k = 0; k < value.parray->rgsabound[0].cElements; ++k) {
        joined += (k ? L"," : L"") + std::wstring(texts[k], SysStringLen(texts[k]));
    }
    SafeArrayUnaccessData(value.parray);
    VariantClear(&value);
    return joined;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    int count = 1, deadline = 120;
    std::wstring message;
    for (int k = 1; k + 1 < argc; k += 2) {
        const std::wstring arg = argv[k];
        if (arg == L"--count")
            count = _wtoi(argv[k + 1]);
        else if (arg == L"--deadline")
            deadline = _wtoi(argv[k + 1]);
        else if (arg == L"--message")
            message = argv[k + 1];
        else
            count = 0;
    }
    if (count < 1 || deadline < 1 || argc % 2 == 0) {
        PrintLine(
            L"usage: korvid-form-probe.exe [--count N] [--deadline SECONDS] [--message TEXT]");
        return 2;
    }
    CloseHandle(CreateThread(nullptr, 0, Deadline,
                             reinterpret_cast<void*>(static_cast<INT_PTR>(deadline)), 0, nullptr));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CLSID clsid;
    int failures = FAILED(CLSIDFromProgID(L"Korvid.Tessel", &clsid)) ? count : 0;
    for (int k = 0; k < count && failures == 0; ++k) {
        IDispatch* object = nullptr;
        const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                            reinterpret_cast<void**>(&object));
        wchar_t failed[32];
        swprintf(failed, 32, L"failed: 0x%08lX", static_cast<unsigned long>(hr));
        PrintLine(FAILED(hr) ? failed
                             : L"created: " + JoinedProperty(object, L"m_compNames") + L"|" +
                                   JoinedProperty(object, L"m_componentIDs"));
        failures += FAILED(hr) ? 1 : 0;
        if (object) object->Release();
    }
    if (!message.empty()) {
        MessageBoxW(nullptr, message.c_str(), L"Korvid probe", MB_OK);
        PrintLine(L"message answered");
    }
    CoUninitialize();
    return failures == 0 ? 0 : 1;
}
