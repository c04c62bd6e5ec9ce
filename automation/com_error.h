// Raised errors: "number, source, description", as a client of the object
// sees them. The logic throws RaisedError; the COM entry points turn it into
// HRESULT 0x800A0000 + number with IErrorInfo carrying source and description.
#pragma once

#include <windows.h>

#include <new>
#include <string>
#include <utility>

namespace korvid {

// Classic run-time error numbers that the object lets reach its callers.
enum RuntimeError : int {
    kInvalidProcedureCall = 5,
    kSubscriptOutOfRange = 9,
    kTypeMismatch = 13,
    kBadFileNameOrNumber = 52,
    kInvalidUseOfNull = 94,
};

// Source of run-time errors raised inside the component.
inline constexpr wchar_t kComponentSource[] = L"Korvid";

struct RaisedError {
    int number;
    std::wstring source;
    std::wstring description;
    // A failure that is no numbered error (a creation that cannot finish)
    // carries its own HRESULT.
    HRESULT hresult = S_OK;

    HRESULT Hresult() const {
        return FAILED(hresult) ? hresult : MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number);
    }
};

// Thrown by an operation that this build does not provide yet: E_NOTIMPL.
struct NotBuilt {};

[[noreturn]] void Raise(int number, std::wstring source, std::wstring description);
// A run-time error with its standard description and the component as source.
[[noreturn]] void RaiseRuntime(int number);
// Maps a failed OLE Automation HRESULT (DISP_E_TYPEMISMATCH, DISP_E_BADINDEX,
// DISP_E_OVERFLOW, E_OUTOFMEMORY...) to the run-time error a client expects.
[[noreturn]] void RaiseFromHresult(HRESULT hr);
// Throws through RaiseFromHresult when hr failed.
inline void Check(HRESULT hr) {
    if (FAILED(hr)) RaiseFromHresult(hr);
}

// Standard description of a run-time error number.
std::wstring RuntimeErrorDescription(int number);

// Sets the thread's error information for `error` (interface `iid`) and
// returns the HRESULT that the failing call must answer.
HRESULT SetComError(const RaisedError& error, REFIID iid);

// Runs `body` as the implementation of a COM method of interface `iid`:
// a RaisedError becomes its HRESULT with IErrorInfo, an allocation failure
// E_OUTOFMEMORY; no C++ exception crosses the COM boundary.
template <typename Body>
HRESULT ComCall(REFIID iid, Body&& body) noexcept {
    try {
        SetErrorInfo(0, nullptr);
        body();
        return S_OK;
    } catch (const RaisedError& e) {
        return SetComError(e, iid);
    } catch (const NotBuilt&) {
        return E_NOTIMPL;
    } catch (const std::bad_alloc&) {
        return SetComError(RaisedError{7, kComponentSource, L"Out of memory"}, iid);
    } catch (...) {
        return SetComError(RaisedError{51, kComponentSource, L"Internal error"}, iid);
    }
}

}  // namespace korvid
