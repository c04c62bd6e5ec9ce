#include "tools/validate/crash_report.h"

#include <windows.h>
#include <dbghelp.h>

#include <csignal>
#include <cwchar>
#include <utility>
#include <vector>

#include "tools/validate/korvid_call.h"
#include "tools/validate/output.h"

namespace korvid::validate {

namespace {

// abort() reported as an exception of this code (STATUS_FATAL_APP_EXIT).
constexpr DWORD kAborted = 0x40000015;
constexpr DWORD kVisualCpp = 0xE06D7363;
constexpr DWORD kGcc = 0x20474343;

// Everything the report needs, made before any crash.
struct Crash {
    Verdict* verdict = nullptr;
    std::wstring dump, whyNoDump;
    std::function<void()> printRecord;
    HANDLE go = nullptr;  // set by the filter once it has filled in the fields below
    HANDLE reporter = nullptr;
    DWORD reporterId = 0;
    EXCEPTION_POINTERS* pointers = nullptr;
    DWORD threadId = 0;
    const KorvidCall* korvidCall = nullptr;
};
Crash g_crash;
LONG g_crashing = 0;

std::wstring Address(ULONG_PTR value) {
    wchar_t text[24];
    std::swprintf(text, std::size(text), L"0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::wstring ExceptionName(const EXCEPTION_RECORD& raised) {
    switch (raised.ExceptionCode) {
        case EXCEPTION_ACCESS_VIOLATION:
        case EXCEPTION_IN_PAGE_ERROR: {
            if (raised.NumberParameters < 2) return L"access violation";
            const ULONG_PTR kind = raised.ExceptionInformation[0];
            return std::wstring(raised.ExceptionCode == EXCEPTION_IN_PAGE_ERROR
                                    ? L"in-page error "
                                    : L"access violation ") +
                   (kind == 1   ? L"writing"
                    : kind == 8 ? L"executing"
                                : L"reading") +
                   L" address " + Address(raised.ExceptionInformation[1]);
        }
        case EXCEPTION_STACK_OVERFLOW:
            return L"stack overflow";
        case kVisualCpp:
            return L"C++ exception (Visual C++) left a call";
        case kGcc:
            return L"C++ exception (GCC) left a call";
        case kAborted:
            return L"abort(): the C runtime ended the process (a C++ exception nobody caught, "
                   L"or an assertion)";
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
            return L"integer division by zero";
        case EXCEPTION_ILLEGAL_INSTRUCTION:
            return L"illegal instruction";
        case EXCEPTION_PRIV_INSTRUCTION:
            return L"privileged instruction";
        case EXCEPTION_BREAKPOINT:
            return L"breakpoint";
        case EXCEPTION_DATATYPE_MISALIGNMENT:
            return L"data type misalignment";
        case 0xC0000374:
            return L"heap corruption";
        default:
            return L"exception";
    }
}

std::wstring FileName(HMODULE module) {
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(module, path, static_cast<DWORD>(std::size(path)));
    const wchar_t* name = wcsrchr(path, L'\\');
    return name ? name + 1 : path;
}

// The minidump, for the unit developer's debugger; empty, or why not.
std::wstring WriteDump() {
    if (g_crash.dump.empty()) return g_crash.whyNoDump;
    HANDLE file = CreateFileW(g_crash.dump.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return L"it cannot be created";
    MINIDUMP_EXCEPTION_INFORMATION exception{g_crash.threadId, g_crash.pointers, FALSE};
    const BOOL written = MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file,
                                           MiniDumpNormal, &exception, nullptr, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (written) return {};
    DeleteFileW(g_crash.dump.c_str());
    return L"MiniDumpWriteDump failed, error " + std::to_wstring(error);
}

void Report() {
    const EXCEPTION_RECORD& raised = *g_crash.pointers->ExceptionRecord;
    const auto address = reinterpret_cast<ULONG_PTR>(raised.ExceptionAddress);
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        static_cast<LPCWSTR>(raised.ExceptionAddress), &module);
    const std::wstring name = module ? FileName(module) : L"no module";
    const std::wstring offset = Address(address - reinterpret_cast<ULONG_PTR>(module));
    const std::wstring code = Hex(static_cast<HRESULT>(raised.ExceptionCode));
    const std::wstring call = g_crash.verdict->Call();
    std::vector<std::pair<std::wstring, std::wstring>> fields = {
        {L"crash_call", call.empty() ? L"none" : call}};
    std::wstring korvidCall;
    if (const KorvidCall* under = g_crash.korvidCall) {
        korvidCall = under->object + L": " + Describe(*under);
        fields.emplace_back(L"crash_material_call", korvidCall);
    }
    fields.emplace_back(L"crash_exception", code + L" " + ExceptionName(raised));
    fields.emplace_back(L"crash_module", name);
    fields.emplace_back(L"crash_offset", offset);

    const std::wstring whyNoDump = WriteDump();
    if (whyNoDump.empty()) fields.emplace_back(L"minidump", g_crash.dump);
    Line(L"");
    Line(L"crash: the process crashed during " + (call.empty() ? L"no call" : call) +
         (korvidCall.empty() ? L"" : L", in the unit's call " + korvidCall));
    Line(L"crash: exception " + code + L", " + ExceptionName(raised));
    Line(L"crash: in " + name + L" at offset " + offset);
    if (_wcsicmp(name.c_str(), L"Korvid.dll") == 0)
        Line(L"crash: the fault is in Korvid.dll" +
             (korvidCall.empty() ? L"" : L", in the unit's call " + korvidCall) +
             L": a Korvid bug, please report it with the minidump (unless the unit gave that "
             L"call a pointer that is not valid)");
    else if (module && module == GetModuleHandleW(nullptr))
        Line(L"crash: the fault is in korvid-validate itself: please report it with the minidump");
    Line(L"crash: minidump " + (whyNoDump.empty() ? g_crash.dump : L"not written: " + whyNoDump));
    if (g_crash.printRecord) g_crash.printRecord();
    g_crash.verdict->Failure(call.empty() ? L"none" : call, L"crashed " + code);
    g_crash.verdict->ConcludeCrash(fields);
}

DWORD WINAPI Reporter(void*) {
    WaitForSingleObject(g_crash.go, INFINITE);
    Report();
    return 0;
}

LONG WINAPI Crashed(EXCEPTION_POINTERS* pointers) {
    // The report crashed itself: end now.
    if (GetCurrentThreadId() == g_crash.reporterId) TerminateProcess(GetCurrentProcess(), kCrashed);
    // Another thread crashed while the first is reported: the process ends with it.
    if (InterlockedExchange(&g_crashing, 1)) Sleep(INFINITE);
    g_crash.pointers = pointers;
    g_crash.threadId = GetCurrentThreadId();
    g_crash.korvidCall = KorvidCallUnderWay();
    SetEvent(g_crash.go);
    WaitForSingleObject(g_crash.reporter, 60000);
    TerminateProcess(GetCurrentProcess(), kCrashed);
    return EXCEPTION_EXECUTE_HANDLER;
}

// abort() of the C runtime the host shares with units built by the same
// compiler (msvcrt.dll): where a C++ exception that left the unit ends, its
// runtime's std::terminate having found no handler. Reported as a crash at
// the place abort was called from.
void Aborted(int) {
    CONTEXT context{};
    RtlCaptureContext(&context);
    EXCEPTION_RECORD raised{};
    raised.ExceptionCode = kAborted;
    raised.ExceptionAddress = __builtin_return_address(0);
    EXCEPTION_POINTERS pointers{&raised, &context};
    Crashed(&pointers);
}

}  // namespace

void InstallCrashReport(Verdict& verdict, const std::wstring& dump, const std::wstring& whyNone) {
    g_crash.verdict = &verdict;
    g_crash.dump = dump;
    g_crash.whyNoDump = whyNone;
    // A minidump beside the summary is this run's, not an earlier one's.
    if (!dump.empty()) DeleteFileW(dump.c_str());
    g_crash.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_crash.reporter = CreateThread(nullptr, 0, Reporter, nullptr, 0, &g_crash.reporterId);
    // Room for the exception's dispatch and the filter after a stack overflow.
    ULONG guarantee = 64 * 1024;
    SetThreadStackGuarantee(&guarantee);
    SetUnhandledExceptionFilter(Crashed);
    std::signal(SIGABRT, Aborted);
}

CrashRecord::CrashRecord(std::function<void()> print) { g_crash.printRecord = std::move(print); }
CrashRecord::~CrashRecord() { g_crash.printRecord = nullptr; }

}  // namespace korvid::validate
