// korvid-validate: a CAPE-OPEN unit host that runs one unit operation with a
// Korvid material object on each material port and reports what the unit
// did with them. See the README's "Validate your unit".
//
// Exit codes: 0 clean, 1 the unit failed or there are findings, 2 the host
// could not run (bad arguments, unit not registered, a creation failed),
// 3 timeout.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "tools/validate/options.h"
#include "tools/validate/output.h"
#include "tools/validate/unit_host.h"
#include "tools/validate/verdict.h"

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

Verdict* g_verdict = nullptr;

// A crash inside the unit ends the run with its summary instead of a debugger.
LONG WINAPI Crashed(EXCEPTION_POINTERS* exception) {
    const std::wstring code = Hex(static_cast<HRESULT>(exception->ExceptionRecord->ExceptionCode));
    ErrorLine(L"korvid-validate: the process crashed (exception " + code + L")");
    if (g_verdict) {
        g_verdict->Failure(L"crash in " + g_verdict->Call(), code);
        g_verdict->Conclude();
    }
    TerminateProcess(GetCurrentProcess(), kUnitFailed);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetUnhandledExceptionFilter(Crashed);
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
    if (options->list) {
        code = ListUnits();
    } else {
        Verdict verdict;
        g_verdict = &verdict;
        std::wstring why;
        const std::wstring folder = ReportsFolder(&why);
        verdict.SetSummaryFile(
            folder.empty() ? L"" : folder + L"\\" + options->reportPrefix + L"-summary.txt", why);
        Watch watch{&verdict, CreateEventW(nullptr, TRUE, FALSE, nullptr), options->timeoutSeconds};
        HANDLE watchdog = CreateThread(nullptr, 0, Watchdog, &watch, 0, nullptr);
        // Without the reports folder no run can keep its records: stop at once.
        if (folder.empty()) {
            verdict.SetUnit(options->unit);
            verdict.HostError(why);
        } else {
            RunUnit(*options, verdict);
        }
        code = verdict.Conclude();
        SetEvent(watch.done);
        WaitForSingleObject(watchdog, INFINITE);
        CloseHandle(watchdog);
        CloseHandle(watch.done);
        g_verdict = nullptr;
    }
    CoUninitialize();
    return code;
}
