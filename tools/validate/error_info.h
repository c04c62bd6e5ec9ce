// The error information of a failed call, read by COM's rule: the host
// clears the thread's error information before each call into the unit, and
// after a failure takes IErrorInfo only from an object that says
// (ISupportErrorInfo) that it gives it for the interface called. Whatever
// else is on the thread (a material object's, left there by the unit) is not
// the unit's.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

namespace korvid::validate {

// Before each call into the unit.
inline void ClearErrorInfo() { SetErrorInfo(0, nullptr); }

// What a failed call left: the lines that describe it (ECapeRoot and
// ECapeUser of `failing`, where it answers them, then the error information)
// and whether CAPE-OPEN error information was there.
struct FailureInfo {
    std::vector<std::wstring> lines;
    bool capeOpen = false;
};
// Call at once after the failed call: the thread's error information is
// taken off the thread first. `called`: the interface of `failing` that was
// called; nullptr for the host's own objects, whose error information is
// read as it is.
FailureInfo DescribeFailure(IUnknown* failing, const IID* called);

}  // namespace korvid::validate
