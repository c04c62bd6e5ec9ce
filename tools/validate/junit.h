// --junit FILE: a run as JUnit XML for CI servers. One testsuite per unit and
// thermo version, one testcase per check (the life first), a failure per
// finding or failed call with its text, an error when the run could not
// finish, the check's printout as system-out. Written by hand: the format
// is small, and no XML library of Debian's is built for the Windows target.
#pragma once

#include <string>
#include <vector>

namespace korvid::validate {

struct JUnitCase {
    std::wstring name;  // "life" or a check's name
    std::wstring out;   // the printout, lines ending LF
    struct Failure {
        std::wstring type, text;
    };
    std::vector<Failure> failures;
    std::wstring error;  // why the run ended in this case; empty: it did not
};

struct JUnitSuite {
    std::wstring name;  // "<unit> thermo <version>"
    std::vector<JUnitCase> cases;
};

// The case named `name` of `suite`, added last when it is new.
JUnitCase& CaseOf(JUnitSuite& suite, const std::wstring& name);

// Writes `suites` to `path` as UTF-8; false when the file was not written.
bool WriteJUnit(const std::wstring& path, const std::vector<JUnitSuite>& suites);

}  // namespace korvid::validate
