// korvid-bench: what SetProp and GetProp cost per call (3 components, one
// property) through the vtable and through IDispatch::Invoke, with the trace
// report off and on, each set against a floor measured in the same run:
// an empty vtable call (get ComponentName, reporting off), the same call
// through IDispatch, one WriteFile of as many bytes as the traced call
// writes, and, the floor of a traced call, the untraced call followed by that
// WriteFile in one loop. Every round times each of these once, round-robin;
// each figure is its best round. A last line splits a traced call's cost: its trace text
// built but not written, over the same call with reporting off.
//
// Before them the CAPE-OPEN 1.1 class's SetOverallProp, GetOverallProp and
// GetSinglePhaseProp, measured the same way against the floors of a material
// of their own (material.cpp).
//
// Last, it counts the heap allocations of each call, traced and untraced:
// those of the C++ code (the object's logic is linked into this program,
// whose operator new counts) and those of the task allocator (BSTRs and
// SAFEARRAYs, through an IMallocSpy, with the BSTR cache off).
//
// Then, through COM and the registered Korvid.dll, the median cost of
// creating and releasing an object defined without the form (KORVID_COMO).
//
// Usage: korvid-bench.exe [rounds] [scale]   (defaults 25 and 1; scale
// multiplies the iterations of a round)
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "com_server/tessel_object.h"
#include "automation/variant.h"
#include "component_definition/como_file.h"
#include "component_definition/module_state.h"
#include "tests/support/allocation_spy.h"
#include "tools/bench/bench_platform.h"
#include "tools/bench/timing.h"

// Every C++ allocation of this program, the object's logic included. (The
// replaced operators pair malloc with free; GCC cannot see that pairing
// through them.)
std::atomic<long> g_cppAllocations{0};
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    ++g_cppAllocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using korvid::com::Variant;
using namespace korvid::bench;

// Counts the task allocator's blocks from its first use to the end.
korvid::testing::AllocationSpy g_spy;

}  // namespace

void korvid::bench::PrintAllocations(const char* title, const std::vector<const char*>& names,
                                     const std::vector<std::function<void()>>& bodies) {
    // Every BSTR reaches the task allocator.
    static const bool spying =
        (korvid::testing::DisableBstrCache(), SUCCEEDED(CoRegisterMallocSpy(&g_spy)));
    if (!spying) Fail("CoRegisterMallocSpy", E_FAIL);
    auto allocationsOf = [&](bool reporting, const std::function<void()>& call) {
        constexpr int kCalls = 200;
        korvid::component_definition::Module1().g_reportOn = reporting;
        call();  // buffers reach their size
        const long cppBefore = g_cppAllocations;
        const size_t taskBefore = g_spy.Allocations();
        for (int k = 0; k < kCalls; ++k) call();
        return static_cast<double>(g_cppAllocations - cppBefore +
                                   static_cast<long>(g_spy.Allocations() - taskBefore)) /
               kCalls;
    };
    std::printf("\n%-34s %9s %9s\n", title, "untraced", "traced");
    for (size_t k = 0; k < bodies.size(); ++k) {
        std::printf("%-34s %9.2f %9.2f\n", names[k], allocationsOf(false, bodies[k]),
                    allocationsOf(true, bodies[k]));
    }
}

namespace {

// Creation without the form through COM, as a host makes an object: the
// median of CoCreateInstance + Release, KORVID_COMO naming a file of the
// three components (as Save writes it) and no report. Korvid.dll is loaded
// from its registration: its own state, not the logic linked in here.
void HeadlessCreation(const std::wstring& folder) {
    const std::wstring como = folder + L"\\korvid-bench.como";
    std::string text = "\r\n";
    for (const auto& record : korvid::component_definition::Module1().g_components) {
        const std::wstring line = korvid::component_definition::FormatComponentLine(record);
        text += std::string(line.begin(), line.end()) + "\r\n";
    }
    HANDLE file = CreateFileW(como.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        Fail("writing the component file", HRESULT_FROM_WIN32(GetLastError()));
    CloseHandle(file);
    CLSID clsid{};
    Check("CLSIDFromProgID (is Korvid.dll registered?)", CLSIDFromProgID(L"Korvid.Tessel", &clsid));
    SetEnvironmentVariableW(L"KORVID_COMO", como.c_str());
    SetEnvironmentVariableW(L"KORVID_REPORT", nullptr);
    SetEnvironmentVariableW(L"KORVID_COMPIDS", nullptr);
    constexpr int kWarmUp = 20, kCreations = 1000;
    std::vector<double> samples;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    for (int k = 0; k < kWarmUp + kCreations; ++k) {
        IUnknown* object = nullptr;
        QueryPerformanceCounter(&start);
        Check("CoCreateInstance without the form",
              CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ICapeThermoMaterialObject,
                               reinterpret_cast<void**>(&object)));
        object->Release();
        QueryPerformanceCounter(&end);
        if (k >= kWarmUp) {
            samples.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                              static_cast<double>(frequency.QuadPart));
        }
    }
    SetEnvironmentVariableW(L"KORVID_COMO", nullptr);
    DeleteFileW(como.c_str());
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    std::printf("\n%-34s %9.1f us  median of %d, 3 components, reporting off  target 1000 us  %s\n",
                "creation without the form + Release", median, kCreations,
                median <= 1000 ? "met" : "MISSED");
}

// A crash ends the process with code 3 instead of waiting in a debugger.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS*) {
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
    SetUnhandledExceptionFilter(EndOnCrash);
    if (argc > 1) g_rounds = std::max(1, std::atoi(argv[1]));
    if (argc > 2) g_scale = std::max(1, std::atoi(argv[2]));
    Check("CoInitializeEx", CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));

    // Three components in the table, a report beside the executable.
    korvid::bench::UseThreeComponents();
    korvid::bench::BenchPlatform platform(L"korvid-bench");
    korvid::platform::SetPlatform(&platform);
    const std::wstring folder = platform.ReportFolder();
    const std::wstring reportPath = folder + L"\\korvid-bench.txt";
    const std::wstring scratchPath = folder + L"\\korvid-bench-writefile.tmp";
    // The CAPE-OPEN 1.1 class first, with an object of its own and the same report name.
    BenchMaterial(platform, reportPath);
    DeleteFileW(reportPath.c_str());

    ICapeThermoMaterialObject* thermo = nullptr;
    Check("creating the object",
          korvid::com::CreateTesselObject(IID_ICapeThermoMaterialObject,
                                          reinterpret_cast<void**>(&thermo)));
    ICapeIdentification* identification = nullptr;
    Check("QueryInterface", thermo->QueryInterface(IID_ICapeIdentification,
                                                   reinterpret_cast<void**>(&identification)));
    IDispatch* script = nullptr;  // the default IDispatch, as a script gets it
    Check("QueryInterface",
          thermo->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&script)));

    // The arguments: a compiled client passes a typed array, a script an array
    // of variants by reference.
    BSTR property = SysAllocString(L"fraction");
    BSTR phase = SysAllocString(L"vapor");
    BSTR calcType = SysAllocString(L"");
    BSTR basis = SysAllocString(L"mole");
    Variant noIds;
    Variant typedValues = korvid::com::MakeDoubleArray({0.2, 0.3, 0.5});
    Variant sProperty = Variant::FromText(L"fraction"), sPhase = Variant::FromText(L"vapor"),
            sCalcType = Variant::FromText(L""), sBasis = Variant::FromText(L"mole"), sIds;
    Variant sValues;
    {
        SAFEARRAY* psa = SafeArrayCreateVector(VT_VARIANT, 0, 3);
        VARIANT* cells = nullptr;
        SafeArrayAccessData(psa, reinterpret_cast<void**>(&cells));
        const double values[] = {0.2, 0.3, 0.5};
        for (int k = 0; k < 3; ++k) {
            cells[k].vt = VT_R8;
            cells[k].dblVal = values[k];
        }
        SafeArrayUnaccessData(psa);
        sValues.get()->vt = VT_ARRAY | VT_VARIANT;
        sValues.get()->parray = psa;
    }
    ScriptArgs setArgs(
        {sProperty.get(), sPhase.get(), sIds.get(), sCalcType.get(), sBasis.get(), sValues.get()});
    ScriptArgs getArgs({sProperty.get(), sPhase.get(), sIds.get(), sCalcType.get(), sBasis.get()});
    const DISPID setId = IdOf(script, L"SetProp");
    const DISPID getId = IdOf(script, L"GetProp");
    const DISPID nameId = IdOf(script, L"ComponentName");

    auto emptyVtable = [&] { EmptyVtableCall(identification); };
    auto emptyInvoke = [&] { EmptyInvokeCall(script, nameId); };
    auto setVtable = [&] {
        Check("SetProp", thermo->SetProp(property, phase, *noIds, calcType, basis, *typedValues));
    };
    auto getVtable = [&] {
        VARIANT result;
        VariantInit(&result);
        Check("GetProp", thermo->GetProp(property, phase, *noIds, calcType, basis, &result));
        VariantClear(&result);
    };
    auto setInvoke = [&] {
        Check("Invoke SetProp",
              script->Invoke(setId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                             setArgs.params(), nullptr, nullptr, nullptr));
    };
    auto getInvoke = [&] {
        VARIANT result;
        VariantInit(&result);
        Check("Invoke GetProp",
              script->Invoke(getId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                             getArgs.params(), &result, nullptr, nullptr));
        VariantClear(&result);
    };

    // The same calls with their trace text built but not written.
    auto unwritten = [&](const std::function<void()>& call) {
        return [&platform, call] {
            platform.discardWrites = true;
            call();
            platform.discardWrites = false;
        };
    };

    // Bytes one traced call writes.
    auto bytesOf = [&](const std::function<void()>& call) {
        const LONGLONG before = FileSize(reportPath);
        call();
        return static_cast<DWORD>(FileSize(reportPath) - before);
    };
    const DWORD setBytes = bytesOf(setVtable);
    const DWORD getBytes = bytesOf(getVtable);
    if (setBytes == 0 || getBytes == 0) Fail("tracing (no report written)", E_FAIL);

    HANDLE scratch =
        CreateFileW(scratchPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (scratch == INVALID_HANDLE_VALUE)
        Fail("creating the scratch file", HRESULT_FROM_WIN32(GetLastError()));
    std::string bytes(std::max(setBytes, getBytes), 'x');
    auto writeFile = [&](DWORD count) {
        return [&, count] {
            DWORD written = 0;
            if (!WriteFile(scratch, bytes.data(), count, &written, nullptr))
                Fail("WriteFile", E_FAIL);
        };
    };

    std::printf("korvid-bench: 3 components, property \"fraction\", best of %d rounds\n\n",
                g_rounds);
    // Reporting off is the state a form confirmed without a report name leaves.
    Measure emptyVtableM{20000, false, emptyVtable}, emptyInvokeM{5000, false, emptyInvoke},
        offSetVtableM{20000, false, setVtable}, offGetVtableM{20000, false, getVtable},
        offSetInvokeM{5000, false, setInvoke}, offGetInvokeM{5000, false, getInvoke},
        setWriteM{4000, true, writeFile(setBytes)}, getWriteM{4000, true, writeFile(getBytes)},
        onSetVtableM{2000, true, setVtable}, onGetVtableM{2000, true, getVtable},
        onSetInvokeM{2000, true, setInvoke}, onGetInvokeM{2000, true, getInvoke},
        textSetVtableM{2000, true, unwritten(setVtable)},
        textGetVtableM{2000, true, unwritten(getVtable)};
    // The same floor measured as one piece: the untraced call and then its
    // WriteFile, in one loop. A WriteFile leaves the caches colder for the
    // code after it, which separate loops never see.
    auto thenWrite = [&](const std::function<void()>& call, DWORD count) {
        return [call, write = writeFile(count)] {
            call();
            write();
        };
    };
    Measure joinedSetVtableM{2000, false, thenWrite(setVtable, setBytes)},
        joinedGetVtableM{2000, false, thenWrite(getVtable, getBytes)},
        joinedSetInvokeM{2000, false, thenWrite(setInvoke, setBytes)},
        joinedGetInvokeM{2000, false, thenWrite(getInvoke, getBytes)};
    RunRounds({&emptyVtableM, &emptyInvokeM, &offSetVtableM, &offGetVtableM, &offSetInvokeM,
               &offGetInvokeM, &setWriteM, &getWriteM, &onSetVtableM, &onGetVtableM, &onSetInvokeM,
               &onGetInvokeM, &textSetVtableM, &textGetVtableM, &joinedSetVtableM,
               &joinedGetVtableM, &joinedSetInvokeM, &joinedGetInvokeM},
              korvid::component_definition::Module1().g_reportOn);
    const double floorVtable = emptyVtableM.best, floorInvoke = emptyInvokeM.best;
    const double floorSetWrite = setWriteM.best, floorGetWrite = getWriteM.best;
    const double offSetVtable = offSetVtableM.best, offGetVtable = offGetVtableM.best;
    const double offSetInvoke = offSetInvokeM.best, offGetInvoke = offGetInvokeM.best;
    const double onSetVtable = onSetVtableM.best, onGetVtable = onGetVtableM.best;
    const double onSetInvoke = onSetInvokeM.best, onGetInvoke = onGetInvokeM.best;

    std::printf("%-34s %9.1f ns\n", "floor: empty vtable call", floorVtable);
    std::printf("%-34s %9.1f ns\n", "floor: empty Invoke", floorInvoke);
    std::printf("%-34s %9.1f ns  (%lu bytes)\n", "floor: WriteFile as SetProp traces",
                floorSetWrite, static_cast<unsigned long>(setBytes));
    std::printf("%-34s %9.1f ns  (%lu bytes)\n", "floor: WriteFile as GetProp traces",
                floorGetWrite, static_cast<unsigned long>(getBytes));
    std::printf(
        "%-34s %9.1f ns  (SetProp), %.1f ns (GetProp) through the vtable,\n%-34s %9.1f "
        "ns  (SetProp), %.1f ns (GetProp) through Invoke\n\n",
        "floor: untraced, then its WriteFile", joinedSetVtableM.best, joinedGetVtableM.best, "",
        joinedSetInvokeM.best, joinedGetInvokeM.best);
    const Row rows[] = {
        {"SetProp vtable, reporting off", offSetVtable, floorVtable, "of the empty vtable call", 5},
        {"GetProp vtable, reporting off", offGetVtable, floorVtable, "of the empty vtable call", 5},
        {"SetProp Invoke, reporting off", offSetInvoke, floorInvoke, "of the empty Invoke", 3},
        {"GetProp Invoke, reporting off", offGetInvoke, floorInvoke, "of the empty Invoke", 3},
        // The floor of a traced call that survives a host crash: the call
        // untraced, then the one WriteFile of its lines, timed in one loop.
        {"SetProp vtable, reporting on", onSetVtable, joinedSetVtableM.best,
         "of untraced + its WriteFile", 1.3},
        {"GetProp vtable, reporting on", onGetVtable, joinedGetVtableM.best,
         "of untraced + its WriteFile", 1.3},
        {"SetProp Invoke, reporting on", onSetInvoke, joinedSetInvokeM.best,
         "of untraced + its WriteFile", 1.3},
        {"GetProp Invoke, reporting on", onGetInvoke, joinedGetInvokeM.best,
         "of untraced + its WriteFile", 1.3},
        // For comparison: the same floor as the sum of the two timed apart,
        // each in a loop of its own (with caches warm for it alone), and the
        // WriteFile alone.
        {"SetProp vtable, reporting on", onSetVtable, offSetVtable + floorSetWrite,
         "of the two timed apart", 0},
        {"GetProp vtable, reporting on", onGetVtable, offGetVtable + floorGetWrite,
         "of the two timed apart", 0},
        {"SetProp Invoke, reporting on", onSetInvoke, offSetInvoke + floorSetWrite,
         "of the two timed apart", 0},
        {"GetProp Invoke, reporting on", onGetInvoke, offGetInvoke + floorGetWrite,
         "of the two timed apart", 0},
        {"SetProp vtable, reporting on", onSetVtable, floorSetWrite, "of its WriteFile alone", 0},
        {"GetProp vtable, reporting on", onGetVtable, floorGetWrite, "of its WriteFile alone", 0},
    };
    for (const Row& row : rows) Print(row);
    // Where a traced call's time goes: its trace text, built but not written,
    // over the same call with reporting off.
    std::printf("\n%-34s %9.1f ns  (SetProp), %.1f ns (GetProp) over the call itself\n",
                "trace text built, not written", textSetVtableM.best - offSetVtable,
                textGetVtableM.best - offGetVtable);

    PrintAllocations("heap allocations per call",
                     {"SetProp vtable", "GetProp vtable", "SetProp Invoke", "GetProp Invoke"},
                     {setVtable, getVtable, setInvoke, getInvoke});

    CloseHandle(scratch);
    DeleteFileW(scratchPath.c_str());
    script->Release();
    identification->Release();
    thermo->Release();  // closes the report
    DeleteFileW(reportPath.c_str());
    SysFreeString(property);
    SysFreeString(phase);
    SysFreeString(calcType);
    SysFreeString(basis);
    MaterialAllocations();
    DeleteFileW(reportPath.c_str());
    CoRevokeMallocSpy();
    HeadlessCreation(folder);
    korvid::platform::SetPlatform(nullptr);
    CoUninitialize();
    return 0;
}
