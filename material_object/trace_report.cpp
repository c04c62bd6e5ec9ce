#include "material_object/trace_report.h"

#include "com_server/com_error.h"
#include "component_definition/module_state.h"
#include "platform/platform.h"

namespace korvid::material_object {

namespace {

// Lines not yet handed to the OS, and the file number they belong to.
struct PendingTrace {
    std::wstring text;
    int16_t fileNo = 0;
};

thread_local PendingTrace t_pending;

constexpr size_t kMaxPendingChars = size_t{1} << 20;

}  // namespace

bool ReportOn() { return component_definition::Module1().g_reportOn; }

void TraceFlush() {
    PendingTrace& pending = t_pending;
    if (pending.text.empty()) return;
    // A failed write (disk full) loses those lines only; the call goes on.
    platform::CurrentPlatform().WriteText(pending.fileNo, pending.text);
    pending.text.clear();
}

void WriteTraceLine(std::wstring_view line) {
    auto& module = component_definition::Module1();
    if (!module.g_reportOn) return;
    PendingTrace& pending = t_pending;
    if (pending.fileNo != module.g_reportFileNo) {
        TraceFlush();
        pending.fileNo = module.g_reportFileNo;
    }
    if (!platform::CurrentPlatform().IsFileOpen(module.g_reportFileNo)) {
        RaiseRuntime(kBadFileNameOrNumber);
    }
    pending.text.append(line);
    pending.text.append(L"\r\n");
    // A call that traces a huge list hands it over in parts.
    if (pending.text.size() >= kMaxPendingChars) TraceFlush();
}

void WriteCallHeader(std::wstring_view name) {
    if (!ReportOn()) return;
    WriteTraceLine(kBanner);
    std::wstring header;
    header.reserve(name.size() + 2);
    header.append(L"* ").append(name);
    WriteTraceLine(header);
    WriteTraceLine(kBanner);
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
