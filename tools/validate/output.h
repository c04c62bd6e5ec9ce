// What korvid-validate prints: lines to the console or a pipe, HRESULTs with
// their names, quoted texts, numbers and GUIDs.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

namespace korvid::validate {

// One line to stdout (or stderr): wide characters on a console, UTF-8 in a
// pipe or file.
void Line(const std::wstring& text);
void ErrorLine(const std::wstring& text);
// Every line Line prints goes to `tap` as well (an empty one: to none).
void SetLineTap(std::function<void(const std::wstring&)> tap);
// `text` as UTF-8 in the file `path`, made anew; false when it was not written.
bool WriteUtf8File(const std::wstring& path, const std::wstring& text);

std::wstring Hex(HRESULT hr);
// "0x80040510 ECapeSolvingError", or the hex alone for a code without a name.
std::wstring Outcome(HRESULT hr);
std::wstring Quoted(const std::wstring& text);
std::wstring Quoted(BSTR text);
// Numbers with "." and up to 10 significant digits; a list as "[a b c]".
std::wstring Number(double value);
std::wstring Numbers(const std::vector<double>& values);
std::wstring GuidText(const GUID& guid);
// A parameter's value as printed: a number, a quoted text, true or false,
// "empty", an array of numbers, else its VARTYPE.
std::wstring VariantText(const VARIANT& value);

}  // namespace korvid::validate
