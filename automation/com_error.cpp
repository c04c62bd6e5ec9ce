#include "automation/com_error.h"

#include <oleauto.h>

namespace korvid {

void Raise(int number, std::wstring source, std::wstring description) {
    throw RaisedError{number, std::move(source), std::move(description)};
}

std::wstring RuntimeErrorDescription(int number) {
    switch (number) {
        case 5: return L"Invalid procedure call or argument";
        case 6: return L"Overflow";
        case 7: return L"Out of memory";
        case kSubscriptOutOfRange: return L"Subscript out of range";
        case kTypeMismatch: return L"Type mismatch";
        case kBadFileNameOrNumber: return L"Bad file name or number";
        case kInvalidUseOfNull: return L"Invalid use of Null";
        default: return L"Application-defined or object-defined error";
    }
}

void RaiseRuntime(int number) {
    Raise(number, kComponentSource, RuntimeErrorDescription(number));
}

void RaiseFromHresult(HRESULT hr) {
    switch (hr) {
        case DISP_E_TYPEMISMATCH:
        case DISP_E_BADVARTYPE:
            RaiseRuntime(kTypeMismatch);
        case DISP_E_BADINDEX:
        case DISP_E_ARRAYISLOCKED:
            RaiseRuntime(kSubscriptOutOfRange);
        case DISP_E_OVERFLOW:
            RaiseRuntime(6);
        case E_OUTOFMEMORY:
            RaiseRuntime(7);
        default:
            if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) RaiseRuntime(HRESULT_CODE(hr));
            RaiseRuntime(5);
    }
}

namespace {

// The error information takes NUL-terminated texts: a NUL that a client put
// into a name would cut the description there (to nothing when the name
// comes first). It is shown as U+FFFD, the character that stands for one
// that cannot be shown.
std::wstring Printable(std::wstring text) {
    for (wchar_t& c : text) {
        if (c == L'\0') c = L'\xFFFD';
    }
    return text;
}

}  // namespace

HRESULT SetComError(const RaisedError& error, REFIID iid) {
    ICreateErrorInfo* create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        create->SetGUID(iid);
        const std::wstring source = Printable(error.source);
        const std::wstring description = Printable(error.description);
        create->SetSource(const_cast<LPOLESTR>(source.c_str()));
        create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
            SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    }
    return error.Hresult();
}

}  // namespace korvid
