#include "tools/validate/options.h"

#include <cmath>
#include <cwchar>
#include <cwctype>
#include <iterator>

namespace korvid::validate {

namespace {

// A whole decimal number with "." as its separator, in every locale (the C
// runtime's locale stays "C"); nothing when anything else is in the text.
std::optional<double> Number(const std::wstring& text) {
    if (text.empty() || std::iswspace(text[0])) return std::nullopt;
    wchar_t* end = nullptr;
    const double value = std::wcstod(text.c_str(), &end);
    if (*end != L'\0' || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    size_t begin = 0;
    for (size_t end; (end = text.find(separator, begin)) != std::wstring::npos; begin = end + 1)
        parts.push_back(text.substr(begin, end - begin));
    parts.push_back(text.substr(begin));
    return parts;
}

// --feed T=..,P=..,flow=..,x=a:b:c: each field at most once, in any order.
std::wstring ParseFeed(const std::wstring& text, FeedState& feed) {
    std::vector<std::wstring> seen;
    for (const std::wstring& field : Split(text, L',')) {
        const size_t equals = field.find(L'=');
        const std::wstring key = field.substr(0, equals);
        const std::wstring value = equals == std::wstring::npos ? L"" : field.substr(equals + 1);
        if (key != L"T" && key != L"P" && key != L"flow" && key != L"x")
            return L"--feed: unknown field \"" + field + L"\" (T, P, flow or x)";
        for (const std::wstring& earlier : seen)
            if (earlier == key) return L"--feed: " + key + L" given twice";
        seen.push_back(key);
        if (key == L"x") {
            double sum = 0;
            for (const std::wstring& part : Split(value, L':')) {
                const std::optional<double> x = Number(part);
                if (!x || *x < 0) return L"--feed: x=" + value + L" is not a list of fractions";
                feed.fractions.push_back(*x);
                sum += *x;
            }
            if (sum <= 0) return L"--feed: the fractions x=" + value + L" add up to 0";
            continue;
        }
        const std::optional<double> number = Number(value);
        if (!number) return L"--feed: " + key + L"=" + value + L" is not a number";
        if (key == L"flow" ? *number < 0 : *number <= 0)
            return L"--feed: " + key + L"=" + value + L" is out of range";
        (key == L"T" ? feed.temperature : key == L"P" ? feed.pressure : feed.totalFlow) = *number;
    }
    return {};
}

// The prefix names report files: no character that Windows refuses in a name.
bool ValidPrefix(const std::wstring& prefix) {
    if (prefix.empty()) return false;
    for (wchar_t ch : prefix)
        if (ch < 32 || std::wcschr(L"<>:\"/\\|?*", ch)) return false;
    return true;
}

// --checks a,b,...: names of kCheckNames, each at most once.
std::wstring ParseChecks(const std::wstring& text, std::vector<std::wstring>& checks) {
    std::wstring known;
    for (const wchar_t* name : kCheckNames)
        known += (known.empty() ? L"" : L", ") + std::wstring(name);
    for (const std::wstring& name : Split(text, L',')) {
        bool found = false;
        for (const wchar_t* check : kCheckNames) found = found || name == check;
        if (!found) return L"--checks: unknown check \"" + name + L"\" (" + known + L")";
        for (const std::wstring& earlier : checks)
            if (earlier == name) return L"--checks: " + name + L" given twice";
        checks.push_back(name);
    }
    return {};
}

}  // namespace

bool Options::Chosen(const wchar_t* check) const {
    for (const std::wstring& name : checks)
        if (name == check) return true;
    return false;
}

std::optional<Options> ParseOptions(const std::vector<std::wstring>& args, std::wstring* error) {
    Options options;
    auto fail = [&](const std::wstring& reason) {
        if (error) *error = reason;
        return std::nullopt;
    };
    for (size_t k = 0; k < args.size(); ++k) {
        const std::wstring& arg = args[k];
        if (arg == L"--list" || arg == L"--cas" || arg == L"--form" ||
            arg == L"--calculate-invalid") {
            (arg == L"--list"   ? options.list
             : arg == L"--cas"  ? options.cas
             : arg == L"--form" ? options.form
                                : options.calculateInvalid) = true;
            continue;
        }
        if (arg != L"--unit" && arg != L"--como" && arg != L"--feed" && arg != L"--report-prefix" &&
            arg != L"--timeout" && arg != L"--thermo" && arg != L"--checks" && arg != L"--junit")
            return fail(L"unknown argument \"" + arg + L"\"");
        if (k + 1 == args.size()) return fail(arg + L" needs a value");
        const std::wstring& value = args[++k];
        if (arg == L"--unit") {
            options.unit = value;
        } else if (arg == L"--como") {
            options.como = value;
        } else if (arg == L"--feed") {
            const std::wstring reason = ParseFeed(value, options.feed);
            if (!reason.empty()) return fail(reason);
        } else if (arg == L"--report-prefix") {
            if (!ValidPrefix(value))
                return fail(L"--report-prefix \"" + value + L"\" cannot name a file");
            options.reportPrefix = value;
        } else if (arg == L"--checks") {
            if (!options.checks.empty()) return fail(L"--checks given twice");
            const std::wstring reason = ParseChecks(value, options.checks);
            if (!reason.empty()) return fail(reason);
        } else if (arg == L"--junit") {
            options.junit = value;
        } else if (arg == L"--thermo") {
            if (value != L"1.0" && value != L"1.1" && value != L"both")
                return fail(L"--thermo takes 1.0, 1.1 or both");
            options.thermo11 = value == L"1.1";
            options.thermoBoth = value == L"both";
        } else {
            const std::optional<double> seconds = Number(value);
            if (!seconds || *seconds < 1 || *seconds > 86400 || *seconds != std::floor(*seconds))
                return fail(L"--timeout needs whole seconds from 1 to 86400");
            options.timeoutSeconds = static_cast<int>(*seconds);
        }
    }
    if (options.list) {
        if (args.size() != 1) return fail(L"--list takes no other argument");
        return options;
    }
    if (options.unit.empty()) return fail(L"--unit is missing");
    if (options.checks.empty())
        options.checks.assign(std::begin(kCheckNames), std::end(kCheckNames));
    // With the forms a person loads the components; headless needs the file.
    if (options.como.empty() && !options.form) return fail(L"--como is missing");
    return options;
}

}  // namespace korvid::validate
