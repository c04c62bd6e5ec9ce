// What korvid-validate prints: lines to the console or a pipe, HRESULTs with
// their names, and the description of a failed call from the failing
// object's CAPE-OPEN error interfaces and the thread's error information.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

namespace korvid::validate {

// One line to stdout (or stderr): wide characters on a console, UTF-8 in a
// pipe or file.
void Line(const std::wstring& text);
void ErrorLine(const std::wstring& text);

std::wstring Hex(HRESULT hr);
// "0x80040510 ECapeSolvingError", or the hex alone for a code without a name.
std::wstring Outcome(HRESULT hr);
std::wstring Quoted(const std::wstring& text);
std::wstring Quoted(BSTR text);
// Numbers with "." and up to 10 significant digits; a list as "[a b c]".
std::wstring Number(double value);
std::wstring Numbers(const std::vector<double>& values);
std::wstring GuidText(const GUID& guid);

// What a failed call left: the lines that describe it (ECapeRoot and
// ECapeUser of `failing`, where it answers them, then the error information
// of the thread), and whether CAPE-OPEN error information was there.
struct FailureInfo {
    std::vector<std::wstring> lines;
    bool capeOpen = false;
};
// Call at once after the failed call: the thread's error information is read
// (and cleared) first.
FailureInfo DescribeFailure(IUnknown* failing);

}  // namespace korvid::validate
