// The errors of the CAPE-OPEN 1.1 material: a refused call raises a
// CapeFailure, which reaches the client as the published HRESULT with
// IErrorInfo (through ComCall), and which the object keeps as its error
// record for ECapeUser and the other error interfaces.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "automation/com_error.h"

namespace korvid::thermo_material {

// The published HRESULTs of the errors this object raises.
inline constexpr HRESULT kECapeUnknown = static_cast<HRESULT>(0x80040501);
inline constexpr HRESULT kECapeInvalidArgument = static_cast<HRESULT>(0x80040506);
inline constexpr HRESULT kECapeNoImpl = static_cast<HRESULT>(0x80040509);
inline constexpr HRESULT kECapeLimitedImpl = static_cast<HRESULT>(0x8004050A);
inline constexpr HRESULT kECapeNoMemory = static_cast<HRESULT>(0x8004050D);
inline constexpr HRESULT kECapeFailedInitialisation = static_cast<HRESULT>(0x8004050F);
inline constexpr HRESULT kECapeThrmPropertyNotAvailable = static_cast<HRESULT>(0x8004051A);

// Source of the error information of the 1.1 class.
inline constexpr wchar_t kMaterialSource[] = L"Korvid.Material";

// A refused call. `position` is the 1-based position of the argument that
// was refused, 0 when no argument is at fault.
struct CapeFailure : RaisedError {
    int16_t position = 0;
};

// The error's CAPE-OPEN name ("ECapeInvalidArgument"), from its HRESULT.
std::wstring_view CapeErrorName(HRESULT hr);

// The failure that `error`, raised inside a call by the shared machinery
// (a closed report, an allocation), is for the client: out of memory
// becomes ECapeNoMemory, everything else ECapeUnknown with the error's own
// description.
CapeFailure AsCapeFailure(const RaisedError& error);

[[noreturn]] void Raise(HRESULT hr, std::wstring description, int16_t position = 0);

// An argument as a refusal names it: its name and 1-based position.
struct Argument {
    std::wstring_view name;
    int16_t position;
};

// ECapeInvalidArgument for `argument`: "<name> (argument <position>) <what>".
[[noreturn]] void RaiseInvalid(Argument argument, std::wstring_view what);

}  // namespace korvid::thermo_material
