#include "component_definition/trace_report.h"

#include "automation/com_error.h"
#include "component_definition/module_state.h"
#include "platform/per_thread.h"
#include "platform/platform.h"

namespace korvid::component_definition {

namespace {

using namespace std::string_view_literals;

// Literals as string views: their length is known when compiling, where a
// plain L"..." costs a wcslen at every use.
constexpr std::wstring_view kLineEnd = L"\r\n"sv;

constexpr size_t kMaxPendingChars = size_t{1} << 20;

// The thread's TraceLines. Fiber-local storage answers in a few nanoseconds;
// a thread_local pointer would cost several times that, since mingw-w64's
// runtime emulates thread_local through a function call.
TraceLines& ThreadLines() {
    static platform::PerThread<TraceLines> lines;
    return lines.Get();
}

}  // namespace

TraceLines::TraceLines() : module_(component_definition::Module1()) {}

TraceLines* TraceLines::Active() {
    TraceLines& lines = ThreadLines();
    return lines.module_.g_reportOn ? &lines : nullptr;
}

// True when lines may be added: reporting is on and, the first time after a
// hand-over, a file is open under the report's number (else error 52).
bool TraceLines::Ready() {
    if (!module_.g_reportOn) return false;
    const int16_t fileNo = module_.g_reportFileNo;
    if (fileChecked_ && fileNo_ == fileNo) return true;
    if (fileNo_ != fileNo) {
        Flush();
        fileNo_ = fileNo;
    }
    if (!platform::CurrentPlatform().IsFileOpen(fileNo)) RaiseRuntime(kBadFileNameOrNumber);
    fileChecked_ = true;
    return true;
}

void TraceLines::EndLine() {
    text_.Append(kLineEnd);
    // A call that traces a huge list hands it over in parts.
    if (text_.size() >= kMaxPendingChars) Flush();
}

void TraceLines::Write(std::wstring_view line) {
    if (!Ready()) return;
    text_.Append(line);
    EndLine();
}

void TraceLines::Write(std::initializer_list<std::wstring_view> parts) {
    if (!Ready()) return;
    for (std::wstring_view part : parts) text_.Append(part);
    EndLine();
}

void TraceLines::WriteHeader(std::wstring_view name) {
    if (!Ready()) return;
    text_.Append(kBanner);
    text_.Append(L"\r\n* "sv);
    text_.Append(name);
    text_.Append(kLineEnd);
    text_.Append(kBanner);
    EndLine();
}

void TraceLines::Flush() {
    fileChecked_ = false;
    if (text_.empty()) return;
    // A failed write (disk full) loses those lines only; the call goes on.
    platform::CurrentPlatform().WriteText(fileNo_, text_.View());
    text_.clear();
}

void TraceFlush() { ThreadLines().Flush(); }

void WriteTraceLine(std::wstring_view line) {
    if (TraceLines* lines = TraceLines::Active()) lines->Write(line);
}

void WriteTraceLine(std::initializer_list<std::wstring_view> parts) {
    if (TraceLines* lines = TraceLines::Active()) lines->Write(parts);
}

void WriteCallHeader(std::wstring_view name) {
    if (TraceLines* lines = TraceLines::Active()) lines->WriteHeader(name);
}

platform::TextBuffer& ScratchLine() { return ThreadLines().Scratch(); }

bool OpenTraceReport(component_definition::Module1State& module, const std::wstring& reportName) {
    auto& platform = platform::CurrentPlatform();
    TraceFlush();
    module.g_reportFileNo = platform.FreeFileNumber();
    module.g_filePath =
        platform.ModuleFolder() + L"\\CapeOpenValidationReports\\" + reportName + L".txt";
    if (module.g_reportFileNo == 0) return false;
    return platform.OpenFile(module.g_reportFileNo, module.g_filePath, platform::FileMode::Output);
}

void CloseTraceReport(component_definition::Module1State& module) {
    TraceFlush();
    platform::CurrentPlatform().CloseFile(module.g_reportFileNo);
}

void ShowObjectMessage(platform::MessageMode mode, std::wstring_view text,
                       std::wstring_view caption, platform::MessageIcon icon) {
    if (mode == platform::MessageMode::Unattended) {
        if (TraceLines* lines = TraceLines::Active()) {
            try {
                lines->Write({L"\tMessage box\t", caption, L"\t", text});
            } catch (const RaisedError&) {
                // No report to write to: the debugger output still tells.
            }
        }
    }
    TraceFlush();
    platform::CurrentPlatform().ShowMessage(text, caption, icon, mode);
}

}  // namespace korvid::component_definition
