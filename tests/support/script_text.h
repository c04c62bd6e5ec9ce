// Texts in the test scripts and their transcripts: the escapes a script line
// may hold, and a text as a transcript shows it. Shared by the unit tests'
// form actions and the GUI checker, whose scripts read alike.
#pragma once

#include <cwchar>
#include <string>
#include <string_view>

namespace korvid::testing {

// \r \n \t \b \e (Escape) \0 and \uXXXX; any other backslash stays (paths).
inline std::wstring Unescape(std::wstring_view text) {
    static constexpr std::wstring_view kNames = L"rntbe0", kCodes{L"\r\n\t\b\x1b\0", 6};
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t named = i + 1 < text.size() && text[i] == L'\\' ? kNames.find(text[i + 1])
                                                                     : std::wstring_view::npos;
        if (named != std::wstring_view::npos) {
            out += kCodes[named];
            ++i;
        } else if (text.substr(i, 2) == L"\\u") {
            out += static_cast<wchar_t>(
                std::wcstol(std::wstring(text.substr(i + 2, 4)).c_str(), nullptr, 16));
            i += 5;
        } else {
            out += text[i];
        }
    }
    return out;
}

// A text as a transcript shows it: \r \n \t \0 named, other controls as
// \uXXXX, one longer than `limit` cut short.
inline std::wstring Shown(std::wstring_view text, size_t limit = 60) {
    std::wstring out;
    const size_t shown = text.size() > limit ? limit / 2 : text.size();
    for (wchar_t c : text.substr(0, shown)) {
        const wchar_t* named = c == L'\r'   ? L"\\r"
                               : c == L'\n' ? L"\\n"
                               : c == L'\t' ? L"\\t"
                               : c == L'\0' ? L"\\0"
                                            : nullptr;
        wchar_t code[8];
        swprintf(code, 8, L"\\u%04X", c);
        const bool plain =
            c >= 0x20 && (c < 0x7F || c >= 0xA0) && (c < 0xD800 || c >= 0xE000) && c < 0xFFFD;
        out += named ? named : plain ? std::wstring(1, c) : code;
    }
    if (shown < text.size()) out += L"...(" + std::to_wstring(text.size()) + L" characters)";
    return out;
}

}  // namespace korvid::testing
