// The call trace report: a text file under "CapeOpenValidationReports" beside
// the component's library, written line by line through WriteTraceLine, or
// through the thread's TraceLines by a call that writes many.
//
// Lines of one call are collected and handed to the OS in one write when the
// call ends (TraceFlush), before any modal window, and before the report file
// changes or closes, so every line of a call is in the file by the time the
// call returns even if the host crashes afterwards.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/text_buffer.h"

namespace korvid::platform {
template <typename T>
class PerThread;
}

namespace korvid::component_definition {

struct Module1State;

inline constexpr std::wstring_view kBanner =
    L"*************************************************************************************";
inline constexpr std::wstring_view kSeparator =
    L"\t------------------------------------------------------------";

// The calling thread's lines not yet handed to the OS. A call that writes
// many lines takes them once (Active) rather than at every line.
class TraceLines {
public:
    // The calling thread's lines when its report switch is on, else nullptr.
    static TraceLines* Active();

    // Adds `line` and CR LF when reporting is on; raises error 52 when it is
    // on and no file is open under the report's file number.
    void Write(std::wstring_view line);
    // The same for the line made of `parts`, one after the other.
    void Write(std::initializer_list<std::wstring_view> parts);
    // The three header lines of a call: banner, "* " + name, banner.
    void WriteHeader(std::wstring_view name);

    // An empty line buffer, to build one line in without allocating: it
    // keeps its capacity from call to call. One line at a time: the next
    // call empties it.
    platform::TextBuffer& Scratch() {
        scratch_.clear();
        return scratch_;
    }

    // Hands the lines collected so far to the OS.
    void Flush();

private:
    friend class platform::PerThread<TraceLines>;
    TraceLines();
    bool Ready();
    void EndLine();

    platform::TextBuffer text_;
    platform::TextBuffer scratch_;
    int16_t fileNo_ = 0;
    // The file was found open since the lines were last handed over. The
    // report closes only through CloseTraceReport and changes only through
    // OpenTraceReport, both of which hand the lines over first.
    bool fileChecked_ = false;
    // Made on its thread, which owns this module state too.
    component_definition::Module1State& module_;
};

// True when the thread's report switch is on: build trace text only then.
inline bool ReportOn() { return TraceLines::Active() != nullptr; }

// TraceLines::Active()->Write(...) when reporting is on.
void WriteTraceLine(std::wstring_view line);
void WriteTraceLine(std::initializer_list<std::wstring_view> parts);

// The three header lines of a call: banner, "* " + name, banner.
// `name` is the interface and operation, e.g. "ICapeIdentification_ComponentName".
void WriteCallHeader(std::wstring_view name);

// The calling thread's TraceLines::Scratch(), whether or not reporting is on.
platform::TextBuffer& ScratchLine();

// Hands the lines collected so far to the OS.
void TraceFlush();

// A message box of an object: shown modally (the report complete while it
// waits), or, for an object made unattended, written to the report as
// TAB "Message box" TAB caption TAB text and to the debugger output, and the
// call goes on as if OK had been pressed (platform::MessageMode).
void ShowObjectMessage(platform::MessageMode mode, std::wstring_view text,
                       std::wstring_view caption, platform::MessageIcon icon);

// Opens the report named `reportName` for the form's OK: takes the first free
// file number, builds the path and opens the file (truncated, shared for
// reading and writing). False when it cannot be opened; the number stays
// taken in g_reportFileNo as the form expects.
bool OpenTraceReport(component_definition::Module1State& module, const std::wstring& reportName);

// Closes the file numbered g_reportFileNo, if one is open under it.
void CloseTraceReport(component_definition::Module1State& module);

// Flushes the trace when the scope ends: every COM entry point holds one.
class TraceScope {
public:
    TraceScope() = default;
    ~TraceScope() { TraceFlush(); }
    TraceScope(const TraceScope&) = delete;
    TraceScope& operator=(const TraceScope&) = delete;
};

}  // namespace korvid::component_definition
