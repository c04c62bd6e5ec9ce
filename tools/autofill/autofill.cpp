// korvid-autofill: fills the definition forms that another process of the
// same Wine session shows, so that a creation completes without a person.
//
// For each of the next N forms: hand the form the .como file to load as if
// chosen in Load's dialog (a WM_COPYDATA the form answers), save the grid
// through the save dialog when asked to, choose "Use CAS number as CompID"
// when asked to, type the form's report name, press OK; when OK leaves the
// form open and a further report name was given, type that one over it and
// press OK again. Meanwhile every new status line is
// printed as "status: <text>", and every message box of the target process is
// answered with OK and printed as "message: <caption>: <text>".
//
// A form it cannot fill (the timeout passed, the form loaded nothing from the
// file, or it stayed open after OK) is closed, so that the creation ends
// rather than waits: see CloseForm.
//
// Exit codes: 0 the target process ended after N forms; 1 the timeout passed
// first; 2 a form loaded nothing from the file or stayed open after OK; 3 the
// target process ended before N forms were filled; 4 bad arguments.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/form_controls.h"
#include "tools/autofill/autofill_options.h"
#include "tools/form_driver/form_driver.h"
#include "tools/form_driver/time_scale.h"

namespace {

using namespace korvid::form_driver;
namespace controls = korvid::platform::form_controls;

// Types a report name over the one the form shows; false when the form
// does not show it before the deadline.
bool TypeReportName(HWND form, const std::wstring& text, const Deadline& deadline) {
    const HWND name = FormControl(form, controls::FileNameTxt);
    do {
        SelectAll(name);
        // Typing over the selection; an empty name erases it.
        TypeText(name, text.empty() ? std::wstring(L"\b") : text);
        if (WindowText(name) == text) return true;
        Sleep(30);
    } while (!deadline.Passed() && IsWindow(name));
    return false;
}

// Fills one form: kDone when it closed after OK (or went away).
ExitCode FillFormOnce(HWND form, int index, const korvid::autofill::Options& options,
                      TargetMonitor& monitor, const Deadline& deadline) {
    // The file goes to the form directly: under Wine the open dialog alone
    // took three quarters of a creation. OK is pressed only on a grid the
    // form says it filled.
    const auto answer = HandFileWhenReady(form, options.como, monitor, deadline);
    monitor.Poll();  // the load's status line, before typing the name replaces it
    if (answer == controls::kLoadNothing) {
        PrintLine(L"gave up: the form loaded nothing from " + options.como);
        return kFormStayedOpen;
    }
    // A form gone meanwhile went with its host (or the host closed it): what
    // follows, another form or the host's end, tells Run what to answer.
    if (answer == controls::kLoadNotNow && !IsWindow(form)) return kDone;
    if (answer != controls::kLoadFilled) return kTimedOut;
    if (!options.save.empty() && !SaveThroughDialog(form, options.save, monitor, deadline)) {
        return kTimedOut;
    }
    if (options.cas) ClickAndWait(FormControl(form, controls::Option2));
    // Without --report the name stays as the form shows it and OK is pressed once.
    const std::vector<std::wstring> names = options.ReportsFor(index);
    const size_t attempts = std::max<size_t>(names.size(), 1);
    for (size_t attempt = 0; attempt < attempts; ++attempt) {
        if (attempt < names.size() && !TypeReportName(form, names[attempt], deadline)) {
            return kTimedOut;
        }
        monitor.Poll();
        Click(FormControl(form, controls::OKButton));
        const Deadline closing(Scaled(kCloseSeconds));
        const bool closed = WaitWatching(
            [&] { return !IsWindow(form) || !IsWindowVisible(form); }, monitor, closing);
        if (closed) return kDone;
        if (deadline.Passed()) return kTimedOut;
        monitor.PrintStatus();
        monitor.SetForm(form);  // the next attempt's status is printed even when it repeats
    }
    PrintLine(L"gave up: the form stayed open after OK");
    return kFormStayedOpen;
}

// A form the autofill gives up on is closed, so that its creation ends
// rather than waits for a person.
ExitCode FillForm(HWND form, int index, const korvid::autofill::Options& options,
                  TargetMonitor& monitor, const Deadline& deadline) {
    const ExitCode result = FillFormOnce(form, index, options, monitor, deadline);
    if (result == kTimedOut) PrintLine(L"gave up: the timeout passed before the form was filled");
    if (result != kDone && IsWindow(form) && IsWindowVisible(form)) CloseForm(form, monitor);
    return result;
}

int Run(const korvid::autofill::Options& options) {
    const Deadline deadline(options.timeoutSeconds);
    TargetMonitor monitor;
    HWND previous = nullptr;
    for (int filled = 0; filled < options.forms; ++filled) {
        HWND form = nullptr;
        const bool found = WaitWatching(
            [&] {
                if (monitor.Target() != 0 && monitor.TargetEnded()) return true;
                form = FindForm(monitor.Target(), previous);
                return form != nullptr;
            },
            monitor, deadline);
        if (!found) return kTimedOut;
        if (!form) {
            PrintLine(L"ended: the target process ended after " + std::to_wstring(filled) +
                      L" of " + std::to_wstring(options.forms) + L" forms");
            return kTargetEnded;
        }
        if (monitor.Target() == 0) monitor.SetTarget(ProcessOf(form));
        monitor.SetForm(form);
        const ExitCode result = FillForm(form, filled, options, monitor, deadline);
        if (result != kDone) return result;
        previous = form;
    }
    monitor.SetForm(nullptr);
    if (!WaitWatching([&] { return monitor.TargetEnded(); }, monitor, deadline)) return kTimedOut;
    return kDone;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::wstring> args(argv + 1, argv + argc);
    std::wstring error;
    const auto options = korvid::autofill::ParseOptions(args, &error);
    if (!options) {
        PrintLine(L"error: " + error);
        PrintLine(korvid::autofill::kUsage);
        return kBadArguments;
    }
    return Run(*options);
}
