// The command line of korvid-autofill:
//   --como PATH [--save PATH] [--cas] [--report NAME]... [--forms N] [--timeout SECONDS]
// --report may be given once per form: the k-th name goes to the k-th form,
// the last one to every later form. When the form refuses a name (OK leaves
// it open), the names after it in the list are tried in turn.
#pragma once

#include <algorithm>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

namespace korvid::autofill {

struct Options {
    std::wstring como;                  // component definition file to load
    std::wstring save;                  // after loading, save the grid here (empty: no save)
    bool cas = false;                   // choose "Use CAS number as CompID"
    std::vector<std::wstring> reports;  // report names by form; none leaves reporting off
    int forms = 1;                      // forms to fill
    int timeoutSeconds = 60;            // for the whole run

    // The report names to try in form `index` (0-based), in order: its own
    // name first, then the later ones of the list should the form refuse it.
    // Empty when no --report was given (the name is left as the form shows it).
    std::vector<std::wstring> ReportsFor(int index) const {
        if (reports.empty()) return {};
        const size_t first = std::min<size_t>(static_cast<size_t>(index), reports.size() - 1);
        return {reports.begin() + static_cast<std::ptrdiff_t>(first), reports.end()};
    }
};

inline constexpr wchar_t kUsage[] =
    L"usage: korvid-autofill.exe --como PATH [--save PATH] [--cas] [--report NAME]... "
    L"[--forms N] [--timeout SECONDS]";

namespace detail {

// A whole positive decimal number, or 0 when the text is anything else.
inline int PositiveNumber(const std::wstring& text) {
    if (text.empty() || text.size() > 6) return 0;
    int value = 0;
    for (wchar_t ch : text) {
        if (ch < L'0' || ch > L'9') return 0;
        value = value * 10 + (ch - L'0');
    }
    return value;
}

}  // namespace detail

// The options of `args` (without the program name), or nothing with a reason
// in `error`.
inline std::optional<Options> ParseOptions(const std::vector<std::wstring>& args,
                                           std::wstring* error) {
    Options options;
    bool haveComo = false;
    auto fail = [&](const std::wstring& reason) {
        if (error) *error = reason;
        return std::nullopt;
    };
    for (size_t k = 0; k < args.size(); ++k) {
        const std::wstring& arg = args[k];
        const bool hasValue = k + 1 < args.size();
        if (arg == L"--cas") {
            options.cas = true;
        } else if (arg == L"--como" || arg == L"--save" || arg == L"--report" ||
                   arg == L"--forms" || arg == L"--timeout") {
            if (!hasValue) return fail(arg + L" needs a value");
            const std::wstring& value = args[++k];
            if (arg == L"--como") {
                if (value.empty()) return fail(L"--como needs a file");
                options.como = value;
                haveComo = true;
            } else if (arg == L"--save") {
                if (value.empty()) return fail(L"--save needs a file");
                options.save = value;
            } else if (arg == L"--report") {
                options.reports.push_back(value);
            } else {
                const int number = detail::PositiveNumber(value);
                if (number == 0) return fail(arg + L" needs a positive whole number, not '" + value + L"'");
                (arg == L"--forms" ? options.forms : options.timeoutSeconds) = number;
            }
        } else {
            return fail(L"unknown argument '" + arg + L"'");
        }
    }
    if (!haveComo) return fail(L"--como PATH is required");
    return options;
}

}  // namespace korvid::autofill
