#include "tools/bench/timing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace korvid::bench {

int g_rounds = 25;
int g_scale = 1;

void Fail(const char* what, HRESULT hr) {
    std::fprintf(stderr, "korvid-bench: %s failed (0x%08lX)\n", what,
                 static_cast<unsigned long>(hr));
    std::exit(2);
}

void RunRounds(std::vector<Measure*> measures, bool& reportOn) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    for (Measure* m : measures) {  // warm up
        reportOn = m->reporting;
        for (int k = 0; k < m->iterations / 10 + 1; ++k) m->body();
    }
    for (int round = 0; round < g_rounds; ++round) {
        for (Measure* m : measures) {
            reportOn = m->reporting;
            const int iterations = m->iterations * g_scale;
            QueryPerformanceCounter(&start);
            for (int k = 0; k < iterations; ++k) m->body();
            QueryPerformanceCounter(&end);
            const double ns = static_cast<double>(end.QuadPart - start.QuadPart) * 1e9 /
                              static_cast<double>(frequency.QuadPart) / iterations;
            m->best = std::min(m->best, ns);
        }
    }
}

ScriptArgs::ScriptArgs(std::vector<VARIANT*> args) : refs_(args.size()) {
    for (size_t k = 0; k < args.size(); ++k) {
        VARIANT& ref = refs_[args.size() - 1 - k];
        VariantInit(&ref);
        ref.vt = VT_BYREF | VT_VARIANT;
        ref.pvarVal = args[k];
    }
    params_ = DISPPARAMS{refs_.data(), nullptr, static_cast<UINT>(refs_.size()), 0};
}

void EmptyInvokeCall(IDispatch* script, DISPID nameId) {
    DISPPARAMS noArgs{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    Check("Invoke ComponentName", script->Invoke(nameId, IID_NULL, LOCALE_USER_DEFAULT,
                                                 DISPATCH_PROPERTYGET, &noArgs, &result, nullptr,
                                                 nullptr));
    VariantClear(&result);
}

DISPID IdOf(IDispatch* dispatch, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    Check("GetIDsOfNames", dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    return id;
}

LONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void Print(const Row& row) {
    const double ratio = row.ns / row.floor;
    std::printf("%-34s %9.1f ns  %6.2fx ", row.label, row.ns, ratio);
    if (row.target > 0) {
        std::printf("%-28s target %.1fx  %s\n", row.floorName, row.target,
                    ratio <= row.target ? "met" : "MISSED");
    } else {
        std::printf("%s\n", row.floorName);
    }
}

}  // namespace korvid::bench
