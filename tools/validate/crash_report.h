// A crash of the run (an access violation, a stack overflow, an exception
// leaving a call, in the unit, in Korvid or in the host itself) ends it with
// a report instead of a lost run: the call under way, the exception, the
// module it came from with the offset (saying plainly when that is
// Korvid.dll), a minidump for the unit developer's debugger, the per-port
// record so far, and the summary with result `crashed`, exit code 4.
//
// The filter does almost nothing on the crashed thread (a stack overflow
// leaves it little stack): it hands the exception to a reporter thread made
// up front and waits for it.
#pragma once

#include <functional>
#include <string>

#include "tools/validate/verdict.h"

namespace korvid::validate {

// From now on, for the rest of the process; the minidump goes to `dump`
// (empty: none is written, for the reason `whyNone`).
void InstallCrashReport(Verdict& verdict, const std::wstring& dump, const std::wstring& whyNone);

// While it lives, a crash prints the record so far through `print` (on the
// reporter thread, while the host's thread waits where it crashed).
class CrashRecord {
public:
    explicit CrashRecord(std::function<void()> print);
    ~CrashRecord();
    CrashRecord(const CrashRecord&) = delete;
    CrashRecord& operator=(const CrashRecord&) = delete;
};

}  // namespace korvid::validate
