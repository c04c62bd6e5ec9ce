// What korvid-bench's two parts (main.cpp, the 0.9 class; material.cpp, the
// 1.1 class) share: the rounds that time every measure of a part together,
// the rows printed against their floors, the arguments a script passes, and
// the heap allocations of a call.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <functional>
#include <string>
#include <vector>

namespace korvid::bench {

class BenchPlatform;

extern int g_rounds;
extern int g_scale;

[[noreturn]] void Fail(const char* what, HRESULT hr);
inline void Check(const char* what, HRESULT hr) {
    if (FAILED(hr)) Fail(what, hr);
}

// One quantity to time: `iterations` calls of `body` per round, with the
// report switch as `reporting` says.
struct Measure {
    int iterations;
    bool reporting;
    std::function<void()> body;
    double best = 1e300;  // ns per call, best round
};

// Times every measure once per round, round-robin, so that floors and calls
// see the same moments of a busy machine; keeps each one's best round.
void RunRounds(std::vector<Measure*> measures, bool& reportOn);

// Arguments of a script: by-reference variants, the last one first.
class ScriptArgs {
public:
    explicit ScriptArgs(std::vector<VARIANT*> args);
    DISPPARAMS* params() { return &params_; }

private:
    std::vector<VARIANT> refs_;
    DISPPARAMS params_;
};

DISPID IdOf(IDispatch* dispatch, const wchar_t* name);

// The empty calls the floors stand on: get ComponentName through the vtable
// of an object's ICapeIdentification (any class) and through `Invoke`.
template <typename Identification>
void EmptyVtableCall(Identification* identification) {
    BSTR name = nullptr;
    Check("get ComponentName", identification->get_ComponentName(&name));
    SysFreeString(name);
}
void EmptyInvokeCall(IDispatch* script, DISPID nameId);
LONGLONG FileSize(const std::wstring& path);

struct Row {
    const char* label;
    double ns;
    double floor;
    const char* floorName;
    double target;  // 0: a row for comparison
};
void Print(const Row& row);

// Heap allocations per call of each body (C++ and task allocator), untraced
// and traced, printed as rows under `title`; the BSTR cache goes off for good.
void PrintAllocations(const char* title, const std::vector<const char*>& names,
                      const std::vector<std::function<void()>>& bodies);

// The CAPE-OPEN 1.1 class's rows (material.cpp): SetOverallProp,
// GetOverallProp and GetSinglePhaseProp against their floors.
void BenchMaterial(BenchPlatform& platform, const std::wstring& reportPath);
// Its heap allocations per call, with a new material.
void MaterialAllocations();

}  // namespace korvid::bench
