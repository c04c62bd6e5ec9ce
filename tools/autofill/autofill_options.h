// The command line of korvid-autofill:
//   --como PATH [--cas] [--report NAME] [--then-report NAME]... [--forms N]
//   [--timeout SECONDS]
#pragma once

#include <cwchar>
#include <optional>
#include <string>
#include <vector>

namespace korvid::autofill {

struct Options {
    std::wstring como;                  // component definition file to load
    bool cas = false;                   // choose "Use CAS number as CompID"
    std::optional<std::wstring> report; // report name; none leaves reporting off
    // Report names of the second, third... form, in order (--then-report,
    // repeatable); a form past the end of this list takes `report`.
    std::vector<std::wstring> laterReports;
    int forms = 1;                      // forms to fill
    int timeoutSeconds = 60;            // for the whole run
};

inline constexpr wchar_t kUsage[] =
    L"usage: korvid-autofill.exe --como PATH [--cas] [--report NAME] "
    L"[--then-report NAME]... [--forms N] [--timeout SECONDS]";

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
        } else if (arg == L"--como" || arg == L"--report" || arg == L"--then-report" ||
                   arg == L"--forms" || arg == L"--timeout") {
            if (!hasValue) return fail(arg + L" needs a value");
            const std::wstring& value = args[++k];
            if (arg == L"--como") {
                if (value.empty()) return fail(L"--como needs a file");
                options.como = value;
                haveComo = true;
            } else if (arg == L"--report") {
                options.report = value;
            } else if (arg == L"--then-report") {
                options.laterReports.push_back(value);
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

// The report name to type into form `formIndex` (0 for the first form).
inline std::optional<std::wstring> ReportFor(const Options& options, int formIndex) {
    const size_t later = formIndex > 0 ? static_cast<size_t>(formIndex - 1) : 0;
    if (formIndex > 0 && later < options.laterReports.size()) return options.laterReports[later];
    return options.report;
}

}  // namespace korvid::autofill
