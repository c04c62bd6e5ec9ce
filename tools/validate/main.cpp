// korvid-validate: a CAPE-OPEN unit host that runs one unit operation with a
// Korvid material object on each material port and reports what the unit
// did with them. Its reference: docs/validator.md.
//
// Exit codes: 0 clean, 1 the unit failed or there are findings, 2 the host
// could not run (bad arguments, unit not registered, a creation failed),
// 3 timeout, 4 the process crashed. A reports folder that cannot be made
// stops the run at once (2).
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "tools/validate/crash_report.h"
#include "tools/validate/options.h"
#include "tools/validate/output.h"
#include "tools/validate/unit_host.h"
#include "tools/validate/verdict.h"
#include "tools/validate/window_watch.h"

namespace {

using namespace korvid::validate;

struct Watch {
    Verdict* verdict;
    HANDLE done;
    int seconds;
};

// Ends the process when the run outlasts its time: a unit that hangs, or a
// form nobody fills in.
DWORD WINAPI Watchdog(void* parameter) {
    const Watch& watch = *static_cast<const Watch*>(parameter);
    if (WaitForSingleObject(watch.done, static_cast<DWORD>(watch.seconds) * 1000) != WAIT_TIMEOUT)
        return 0;
    if (watch.verdict->ConcludeTimeout(watch.seconds) < 0) return 0;
    TerminateProcess(GetCurrentProcess(), kTimeout);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring error;
    const auto options = ParseOptions(std::vector<std::wstring>(argv + 1, argv + argc), &error);
    if (!options) {
        ErrorLine(L"korvid-validate: " + error);
        ErrorLine(kUsage);
        return kHostError;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        ErrorLine(L"korvid-validate: COM cannot be initialised");
        return kHostError;
    }
    int code = kHostError;
    Verdict verdict;  // lives on while unloading the unit in CoUninitialize may still crash
    if (options->list) {
        code = ListUnits();
    } else {
        std::wstring why;
        const std::wstring folder = ReportsFolder(&why);
        const std::wstring prefix = folder.empty() ? L"" : folder + L"\\" + options->reportPrefix;
        if (!options->junit.empty()) verdict.SetJUnitFile(options->junit);
        verdict.SetSummaryFile(folder.empty() ? L"" : prefix + L"-summary.txt", why);
        InstallCrashReport(verdict, folder.empty() ? L"" : prefix + L"-crash.dmp", why);
        Watch watch{&verdict, CreateEventW(nullptr, TRUE, FALSE, nullptr), options->timeoutSeconds};
        HANDLE watchdog = CreateThread(nullptr, 0, Watchdog, &watch, 0, nullptr);
        // Without the reports folder no run can keep its records: stop at once.
        if (folder.empty()) {
            verdict.SetUnit(options->unit);
            verdict.HostError(why);
        } else {
            const WindowWatch windows(verdict, options->form);
            RunUnit(*options, verdict);
        }
        code = verdict.Conclude();
        SetEvent(watch.done);
        WaitForSingleObject(watchdog, INFINITE);
        CloseHandle(watchdog);
        CloseHandle(watch.done);
    }
    CoUninitialize();
    return code;
}
