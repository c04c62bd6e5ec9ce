#include "material_object/trace_report.h"

#include "automation/com_error.h"
#include "component_definition/module_state.h"
#include "platform/per_thread.h"
#include "platform/platform.h"

namespace korvid::material_object {

namespace {

// Lines not yet handed to the OS, the file number they belong to, and the
// thread's module state, reached through this one thread-local object.
struct PendingTrace {
    std::wstring text;
    std::wstring scratch;  // ScratchLine()
    int16_t fileNo = 0;
    // The file was found open since the lines were last handed over. The
    // report closes only through CloseTraceReport and changes only through
    // OpenTraceReport, both of which hand the lines over first.
    bool fileChecked = false;
    // Made on its thread, which owns this module state too.
    component_definition::Module1State* module = &component_definition::Module1();
};


constexpr size_t kMaxPendingChars = size_t{1} << 20;

// The thread's PendingTrace. Fiber-local storage answers in a few
// nanoseconds; a thread_local pointer would cost several times that, since
// mingw-w64's runtime emulates thread_local through a function call.
PendingTrace& Pending() {
    static platform::PerThread<PendingTrace> pendings;
    return pendings.Get();
}

// Makes `pending` ready to take lines for the report's current number:
// error 52 when no file is open under it.
void CheckFile(PendingTrace& pending) {
    const int16_t fileNo = pending.module->g_reportFileNo;
    if (pending.fileChecked && pending.fileNo == fileNo) return;
    if (pending.fileNo != fileNo) {
        TraceFlush();
        pending.fileNo = fileNo;
    }
    if (!platform::CurrentPlatform().IsFileOpen(fileNo)) RaiseRuntime(kBadFileNameOrNumber);
    pending.fileChecked = true;
}

void EndLine(PendingTrace& pending) {
    pending.text.append(L"\r\n");
    // A call that traces a huge list hands it over in parts.
    if (pending.text.size() >= kMaxPendingChars) TraceFlush();
}

}  // namespace

bool ReportOn() { return Pending().module->g_reportOn; }

std::wstring& ScratchLine() {
    std::wstring& line = Pending().scratch;
    line.clear();
    return line;
}

void TraceFlush() {
    PendingTrace& pending = Pending();
    pending.fileChecked = false;
    if (pending.text.empty()) return;
    // A failed write (disk full) loses those lines only; the call goes on.
    platform::CurrentPlatform().WriteText(pending.fileNo, pending.text);
    pending.text.clear();
}

void WriteTraceLine(std::wstring_view line) {
    PendingTrace& pending = Pending();
    if (!pending.module->g_reportOn) return;
    CheckFile(pending);
    pending.text.append(line);
    EndLine(pending);
}

void WriteTraceLine(std::initializer_list<std::wstring_view> parts) {
    PendingTrace& pending = Pending();
    if (!pending.module->g_reportOn) return;
    CheckFile(pending);
    for (std::wstring_view part : parts) pending.text.append(part);
    EndLine(pending);
}

void WriteCallHeader(std::wstring_view name) {
    PendingTrace& pending = Pending();
    if (!pending.module->g_reportOn) return;
    CheckFile(pending);
    pending.text.append(kBanner).append(L"\r\n* ").append(name).append(L"\r\n").append(kBanner);
    EndLine(pending);
}

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

}  // namespace korvid::material_object
