#include "thermo_material/cape_error.h"

#include <utility>

namespace korvid::thermo_material {

std::wstring_view CapeErrorName(HRESULT hr) {
    switch (hr) {
        case kECapeInvalidArgument: return L"ECapeInvalidArgument";
        case kECapeNoImpl: return L"ECapeNoImpl";
        case kECapeLimitedImpl: return L"ECapeLimitedImpl";
        case kECapeNoMemory: return L"ECapeNoMemory";
        case kECapeFailedInitialisation: return L"ECapeFailedInitialisation";
        case kECapeThrmPropertyNotAvailable: return L"ECapeThrmPropertyNotAvailable";
        default: return L"ECapeUnknown";
    }
}

CapeFailure AsCapeFailure(const RaisedError& error) {
    CapeFailure failure;
    failure.number = 0;
    failure.source = kMaterialSource;
    failure.description = error.description;
    failure.hresult = error.number == 7 ? kECapeNoMemory : kECapeUnknown;
    return failure;
}

void Raise(HRESULT hr, std::wstring description, int16_t position) {
    CapeFailure failure;
    failure.number = 0;
    failure.source = kMaterialSource;
    failure.description = std::move(description);
    failure.hresult = hr;
    failure.position = position;
    throw failure;
}

void RaiseInvalid(Argument argument, std::wstring_view what) {
    std::wstring text(argument.name);
    text += L" (argument ";
    text += std::to_wstring(argument.position);
    text += L") ";
    text += what;
    Raise(kECapeInvalidArgument, std::move(text), argument.position);
}

}  // namespace korvid::thermo_material
