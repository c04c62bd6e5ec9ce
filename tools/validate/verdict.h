// What a run of korvid-validate concluded: the unit's failed calls, the
// findings, or why the host could not run; its exit code, and the summary
// printed at the end and written for CI scripts. The watchdog thread reads it
// too, hence the lock.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tools/validate/junit.h"

namespace korvid::validate {

enum ExitCode { kClean = 0, kUnitFailed = 1, kHostError = 2, kTimeout = 3, kCrashed = 4 };

struct Finding {
    std::wstring port;  // a port's name, a copy's label, or "unit"
    std::wstring kind;  // inlet-changed, outlet-unset, calculated-invalid, object-kept,
                        // wrong-connected, no-error-info, over-released,
                        // connected-not-addrefed, error-ignored, item-none, thermo-claim,
                        // unit-window, message-box, not-a-bstr
                        // checks: resolve-differs, reconnect-fails, report-failed,
                        // persistence-failed, persistence-lost, dirty-after-save,
                        // context-order, registry-progid, registry-inprocserver32,
                        // registry-category, registry-capedescription, registry-typelib
    std::wstring detail;
    std::wstring check = {};   // the check that found it; empty: the life
    std::wstring thermo = {};  // the thermo version of the run that found it
};

class Verdict {
public:
    Verdict();
    ~Verdict();
    Verdict(const Verdict&) = delete;
    Verdict& operator=(const Verdict&) = delete;

    void SetUnit(const std::wstring& unit);
    // The summary file, or why there is none.
    void SetSummaryFile(const std::wstring& path, const std::wstring& whyNone);
    // The call under way, named when the watchdog ends the run.
    void SetCall(const std::wstring& call);
    std::wstring Call();

    // A failed call of the unit: what was called, and its HRESULT or what went wrong.
    void Failure(const std::wstring& call, const std::wstring& detail);
    void Add(Finding finding);
    // The check under way (empty: the life): the findings added are its.
    void SetCheck(const std::wstring& check);
    size_t FindingCount(const std::wstring& check);
    // While muted, failures and findings are not kept (a check's second run
    // of what the life judged already).
    void Mute(bool muted);
    void HostError(const std::wstring& reason);
    // The thermo version of the run under way; `tagged` (--thermo both):
    // "1.0/" or "1.1/" before each finding's port and each failed call.
    void SetVersion(const std::wstring& version, bool tagged);
    // --junit: the file, and the printout kept per version and check.
    void SetJUnitFile(const std::wstring& path);
    size_t FailureCount();
    // The failed calls from the `from`th on are no failures of the unit: it
    // said it handles the other thermo version only.
    void ForgiveFailures(size_t from);

    // Prints the findings and the summary and writes the summary file;
    // returns the exit code (-1 when the run was concluded already).
    int Conclude();
    // The same for the watchdog: the run took too long.
    int ConcludeTimeout(int seconds);
    // The same for the crash report: the process crashed; `crash` are the
    // summary file's crash_... and minidump lines (key, value).
    int ConcludeCrash(const std::vector<std::pair<std::wstring, std::wstring>>& crash);

private:
    int ConcludeLocked(int exitCode);
    void Printed(const std::wstring& line);
    JUnitCase& CaseUnderWay();
    JUnitSuite& SuiteOf(const std::wstring& version);
    bool WriteJUnitLocked(int exitCode, const wchar_t* result);

    CRITICAL_SECTION lock_;
    std::wstring unit_, call_, summaryFile_, noSummary_, hostError_, check_, version_, tag_,
        junitFile_;
    std::vector<std::wstring> failures_;
    std::vector<std::pair<std::wstring, std::wstring>> failureWhere_;  // version, check
    std::vector<JUnitSuite> suites_;
    std::vector<Finding> findings_;
    std::vector<std::pair<std::wstring, std::wstring>> crash_;
    bool concluded_ = false;
    bool muted_ = false;
};

}  // namespace korvid::validate
