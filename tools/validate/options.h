// The command line of korvid-validate:
//   --unit <ProgID|CLSID> --como FILE [--feed T=..,P=..,flow=..,x=a:b:c]
//   [--report-prefix NAME] [--cas] [--form] [--timeout S] [--thermo 1.0|1.1|both]
//   [--calculate-invalid] [--checks a,b,...] [--junit FILE]
//   --list
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korvid::validate {

// The state the host gives every inlet before it is connected. A value not
// given on the command line keeps its default; no fractions means equal
// fractions of the file's components.
struct FeedState {
    double temperature = 298.15;  // K
    double pressure = 101325;     // Pa
    double totalFlow = 1;         // mol/s
    std::vector<double> fractions;
};

// The checks beyond the one life, in the order they run (checks.cpp).
inline constexpr const wchar_t* kCheckNames[] = {L"resolve",     L"parameters", L"report",
                                                 L"persistence", L"context",    L"registry"};

struct Options {
    bool list = false;  // --list: the unit operations registered here
    std::wstring unit;  // ProgID or {CLSID}
    std::wstring como;  // component file for every material object
    FeedState feed;
    std::wstring reportPrefix = L"validate";
    bool cas = false;               // component ids are CAS numbers
    bool form = false;              // show the definition forms instead of going headless
    int timeoutSeconds = 60;        // for the whole run
    bool thermo11 = false;          // --thermo 1.1: Korvid.Material on the ports, not Korvid.Tessel
    bool thermoBoth = false;        // --thermo both: the life and the checks with 1.0, then 1.1
    bool calculateInvalid = false;  // Calculate whatever Validate said
    std::vector<std::wstring> checks;  // --checks: those chosen; all by default
    std::wstring junit;                // --junit: the JUnit XML file to write

    bool Chosen(const wchar_t* check) const;
};

inline constexpr wchar_t kUsage[] =
    L"usage: korvid-validate --unit <ProgID|CLSID> --como FILE "
    L"[--feed T=..,P=..,flow=..,x=a:b:c] [--report-prefix NAME] [--cas] [--form] "
    L"[--timeout S] [--thermo 1.0|1.1|both] [--calculate-invalid] [--checks a,b,...] [--junit "
    L"FILE]\n       "
    L"korvid-validate --list";

// The options of `args` (without the program name), or nothing with the
// reason in `error`.
std::optional<Options> ParseOptions(const std::vector<std::wstring>& args, std::wstring* error);

}  // namespace korvid::validate
