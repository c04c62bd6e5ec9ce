// korvid-soak: one object, reporting on, a million traced calls, alternately
// SetProp and GetProp through the vtable (3 components, "fraction", phase
// "vapor", all components, mole basis). Checks that
//   - the process's committed private memory and its working set, after the
//     first 10,000 calls, grow by less than 1 MB over the rest (sampled every
//     100,000 calls: a leak of a single byte per call would pass that mark), and
//   - the report holds exactly 13 lines per SetProp and 9 per GetProp, with
//     one SetProp and one GetProp call header per pair.
// Prints the samples and the time taken (a figure, not a check).
//
// Usage: korvid-soak.exe [calls] [--keep]   (default 1000000; --keep leaves
// the report in CapeOpenValidationReports\korvid-soak.txt)
// Exit code 0 when both checks pass, 1 otherwise, 2 on a failed call.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "com_server/tessel_object.h"
#include "automation/variant.h"
#include "component_definition/module_state.h"
#include "tools/bench/bench_platform.h"
#include "tools/soak/process_memory.h"

namespace {

constexpr long kWarmUpCalls = 10000;
constexpr long kSampleEvery = 100000;
constexpr SIZE_T kAllowedGrowth = 1 << 20;
constexpr long long kSetPropLines = 13;  // header 3, arguments 6, values 3, separator 1
constexpr long long kGetPropLines = 9;   // header 3, arguments 5, separator 1

[[noreturn]] void Fail(const char* what, HRESULT hr) {
    std::fprintf(stderr, "korvid-soak: %s failed (0x%08lX)\n", what, static_cast<unsigned long>(hr));
    std::exit(2);
}

struct Memory {
    SIZE_T committed;   // private memory committed in the address space
    SIZE_T workingSet;  // resident memory, as the OS counts it
};

Memory Sample() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(),
                         reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return {std::max<SIZE_T>(korvid::tools::CommittedPrivate(), counters.PrivateUsage),
            counters.WorkingSetSize};
}

// Lines of the report, and how many of them are each call header.
struct ReportCount {
    long long lines = 0;
    long long setHeaders = 0;
    long long getHeaders = 0;
    bool readable = false;
};

ReportCount CountReport(const std::wstring& path) {
    ReportCount count;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return count;
    count.readable = true;
    const std::string setHeader = "* ICapeThermoMaterialObject_SetProp\r";
    const std::string getHeader = "* ICapeThermoMaterialObject_GetProp\r";
    std::vector<char> buffer(1 << 20);
    std::string line;  // the line being read, kept across buffers
    DWORD read = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read) {
        for (DWORD k = 0; k < read; ++k) {
            const char ch = buffer[k];
            if (ch != '\n') {
                if (line.size() < 64) line.push_back(ch);
                continue;
            }
            ++count.lines;
            if (line == setHeader) ++count.setHeaders;
            if (line == getHeader) ++count.getHeaders;
            line.clear();
        }
    }
    CloseHandle(file);
    return count;
}

double Megabytes(SIZE_T bytes) { return static_cast<double>(bytes) / (1 << 20); }

// A crash ends the process with code 3 instead of waiting in a debugger.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS*) {
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
    SetUnhandledExceptionFilter(EndOnCrash);
    long calls = 1000000;
    bool keep = false;
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--keep") == 0) keep = true;
        else calls = std::atol(argv[k]);
    }
    calls -= calls % 2;
    if (calls < 2 * kWarmUpCalls) calls = 2 * kWarmUpCalls;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) Fail("CoInitializeEx", E_FAIL);

    korvid::bench::UseThreeComponents();
    korvid::bench::BenchPlatform platform(L"korvid-soak");
    korvid::platform::SetPlatform(&platform);
    const std::wstring reportPath = platform.ReportFolder() + L"\\korvid-soak.txt";

    ICapeThermoMaterialObject* thermo = nullptr;
    HRESULT hr = korvid::com::CreateTesselObject(IID_ICapeThermoMaterialObject,
                                                 reinterpret_cast<void**>(&thermo));
    if (FAILED(hr)) Fail("creating the object", hr);
    if (!korvid::component_definition::Module1().g_reportOn) Fail("switching reporting on", E_FAIL);

    BSTR property = SysAllocString(L"fraction");
    BSTR phase = SysAllocString(L"vapor");
    BSTR calcType = SysAllocString(L"");
    BSTR basis = SysAllocString(L"mole");
    korvid::com::Variant noIds;
    korvid::com::Variant values = korvid::com::MakeDoubleArray({0.2, 0.3, 0.5});

    auto pair = [&] {
        hr = thermo->SetProp(property, phase, *noIds, calcType, basis, *values);
        if (FAILED(hr)) Fail("SetProp", hr);
        VARIANT result;
        VariantInit(&result);
        hr = thermo->GetProp(property, phase, *noIds, calcType, basis, &result);
        if (FAILED(hr)) Fail("GetProp", hr);
        VariantClear(&result);
    };

    std::printf("korvid-soak: %ld traced calls (SetProp and GetProp in turn), reporting on\n", calls);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (long k = 0; k < kWarmUpCalls; k += 2) pair();
    const Memory base = Sample();
    std::printf("%10s %14s %14s\n", "calls", "committed MB", "working set MB");
    std::printf("%10ld %14.2f %14.2f\n", kWarmUpCalls, Megabytes(base.committed),
                Megabytes(base.workingSet));
    Memory highest = base;
    for (long done = kWarmUpCalls; done < calls;) {
        pair();
        done += 2;
        if (done % kSampleEvery == 0 || done == calls) {
            const Memory now = Sample();
            highest.committed = std::max(highest.committed, now.committed);
            highest.workingSet = std::max(highest.workingSet, now.workingSet);
            std::printf("%10ld %14.2f %14.2f\n", done, Megabytes(now.committed),
                        Megabytes(now.workingSet));
            std::fflush(stdout);
        }
    }
    QueryPerformanceCounter(&end);
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) /
                           static_cast<double>(frequency.QuadPart);

    thermo->Release();  // closes the report
    SysFreeString(property);
    SysFreeString(phase);
    SysFreeString(calcType);
    SysFreeString(basis);

    int failures = 0;
    const SIZE_T committedGrowth = highest.committed - base.committed;
    const SIZE_T residentGrowth = highest.workingSet - base.workingSet;
    const bool flat = committedGrowth < kAllowedGrowth && residentGrowth < kAllowedGrowth;
    std::printf("%s: after the first %ld calls committed memory grew %.3f MB, the working set "
                "%.3f MB (limit %.0f MB each)\n",
                flat ? "ok" : "FAIL", kWarmUpCalls, Megabytes(committedGrowth),
                Megabytes(residentGrowth), Megabytes(kAllowedGrowth));
    failures += flat ? 0 : 1;

    const long long pairs = calls / 2;
    const long long expected = pairs * (kSetPropLines + kGetPropLines);
    const ReportCount report = CountReport(reportPath);
    const bool whole = report.readable && report.lines == expected &&
                       report.setHeaders == pairs && report.getHeaders == pairs;
    std::printf("%s: report lines %lld (expected %lld), SetProp headers %lld, GetProp headers %lld "
                "(expected %lld each)\n",
                whole ? "ok" : "FAIL", report.lines, expected, report.setHeaders,
                report.getHeaders, pairs);
    failures += whole ? 0 : 1;
    std::printf("time: %.1f s, %.2f us per traced call\n", seconds, seconds * 1e6 / calls);

    if (!keep) DeleteFileW(reportPath.c_str());
    korvid::platform::SetPlatform(nullptr);
    CoUninitialize();
    return failures == 0 ? 0 : 1;
}
