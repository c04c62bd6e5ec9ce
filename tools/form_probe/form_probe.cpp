// korvid-form-probe: a minimal host that creates Korvid.Tessel objects through
// COM, as a simulation host would, so that their definition forms appear.
//
//   korvid-form-probe.exe [--count N] [--deadline SECONDS] [--message TEXT]
//
// For each of N objects (default 1) it prints "created: <names>|<ids>" with
// the component names and ids the object took from its form, then
// "identified: <ComponentName>" (a call that the object traces), or
// "failed: 0x<HRESULT> <description>". With --message it then shows TEXT in a
// message box captioned "Korvid probe" and waits for its OK, as a host that
// reports to its user would. After the deadline (default 120 s)
// the process ends itself with exit code 3, so a test never leaves it behind.
// Exit code 0 when every creation succeeded, 1 otherwise, 2 on bad arguments.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
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

// A property of the object, read late-bound as a scripting host would.
bool GetProperty(IDispatch* object, const wchar_t* name, VARIANT* value) {
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
    DISPPARAMS none{};
    VariantInit(value);
    return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                    &none, value, nullptr, nullptr));
}

std::wstring TextProperty(IDispatch* object, const wchar_t* name) {
    VARIANT value;
    if (!GetProperty(object, name, &value)) return L"?";
    std::wstring text;
    if (SUCCEEDED(VariantChangeType(&value, &value, 0, VT_BSTR))) {
        text.assign(value.bstrVal, SysStringLen(value.bstrVal));
    }
    VariantClear(&value);
    return text;
}

// A text array property of the object, joined by ",".
std::wstring JoinedProperty(IDispatch* object, const wchar_t* name) {
    VARIANT value;
    if (!GetProperty(object, name, &value)) return L"?";
    std::wstring joined;
    if ((value.vt & VT_ARRAY) && value.parray && SafeArrayGetDim(value.parray) == 1) {
        LONG lower = 0;
        LONG upper = -1;
        SafeArrayGetLBound(value.parray, 1, &lower);
        SafeArrayGetUBound(value.parray, 1, &upper);
        for (LONG k = lower; k <= upper; ++k) {
            VARIANT element;
            VariantInit(&element);
            if ((value.vt & VT_TYPEMASK) == VT_BSTR) {
                BSTR text = nullptr;
                SafeArrayGetElement(value.parray, &k, &text);
                element.vt = VT_BSTR;
                element.bstrVal = text;
            } else if ((value.vt & VT_TYPEMASK) == VT_VARIANT) {
                SafeArrayGetElement(value.parray, &k, &element);
            }
            if (k > lower) joined += L",";
            if (SUCCEEDED(VariantChangeType(&element, &element, 0, VT_BSTR))) {
                joined.append(element.bstrVal, SysStringLen(element.bstrVal));
            }
            VariantClear(&element);
        }
    }
    VariantClear(&value);
    return joined;
}

std::wstring ErrorDescription() {
    IErrorInfo* info = nullptr;
    std::wstring text;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        BSTR description = nullptr;
        if (SUCCEEDED(info->GetDescription(&description)) && description) {
            text.assign(description, SysStringLen(description));
            SysFreeString(description);
        }
        info->Release();
    }
    return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    int count = 1;
    int deadline = 120;
    std::wstring message;
    for (int k = 1; k < argc; ++k) {
        const std::wstring arg = argv[k];
        if (arg == L"--count" && k + 1 < argc) {
            count = _wtoi(argv[++k]);
        } else if (arg == L"--deadline" && k + 1 < argc) {
            deadline = _wtoi(argv[++k]);
        } else if (arg == L"--message" && k + 1 < argc) {
            message = argv[++k];
        } else {
            PrintLine(L"usage: korvid-form-probe.exe [--count N] [--deadline SECONDS] [--message TEXT]");
            return 2;
        }
    }
    if (count < 1 || deadline < 1) return 2;
    CloseHandle(CreateThread(nullptr, 0, Deadline,
                             reinterpret_cast<void*>(static_cast<INT_PTR>(deadline)), 0, nullptr));

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CLSID clsid;
    int failures = 0;
    if (FAILED(CLSIDFromProgID(L"Korvid.Tessel", &clsid))) {
        PrintLine(L"failed: Korvid.Tessel is not registered");
        failures = count;
    }
    for (int k = 0; k < count && failures == 0; ++k) {
        IDispatch* object = nullptr;
        const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                            reinterpret_cast<void**>(&object));
        if (FAILED(hr)) {
            wchar_t code[16];
            swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
            PrintLine(std::wstring(L"failed: ") + code + L" " + ErrorDescription());
            ++failures;
            continue;
        }
        PrintLine(L"created: " + JoinedProperty(object, L"m_compNames") + L"|" +
                  JoinedProperty(object, L"m_componentIDs"));
        PrintLine(L"identified: " + TextProperty(object, L"ComponentName"));
        object->Release();
    }
    if (!message.empty()) {
        MessageBoxW(nullptr, message.c_str(), L"Korvid probe", MB_OK);
        PrintLine(L"message answered");
    }
    CoUninitialize();
    return failures == 0 ? 0 : 1;
}
