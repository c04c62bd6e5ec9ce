// What the fuzzer's driver (fuzz.cpp) shares with the calls of one class
// (material_calls.cpp): the call in progress, the failed checks, the counted
// outcomes, and the objects of the caller's that arguments pass around.
#pragma once

#include <map>
#include <string>

#include "tests/e2e/clients/client.h"

namespace korvid::fuzz {

// An object of the caller's that the arguments pass around: it answers no
// member and counts its references, so that none may be kept.
struct Stranger final : IDispatch {
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ? this : nullptr;
        return *out ? AddRef(), S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs); }
    ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&refs); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        return *info = nullptr, DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
};

// Passed in arguments: a failed call keeps no reference to it.
extern Stranger g_stranger;
// Held by the old content of [in, out] results: the callee frees that content,
// so every reference comes back by the end.
extern Stranger g_old;

// The call in progress, for the crash filter, the watchdog and the failures.
extern volatile LONG g_index;
extern std::string g_call;
extern std::map<std::string, long> g_outcomes;
void Fail(const std::string& what);

// The same random numbers for call `index` of the run with `seed`.
inline Random RandomOf(uint64_t seed, LONG index) {
    return Random(seed * 0x9E3779B97F4A7C15ull + static_cast<uint64_t>(index));
}

// Korvid.Material: its operations through the vtables, and arguments that fit
// its parameters by name, so that calls get past the first checks.
namespace material {

void Attach(IUnknown* object);
// Releases what Attach took and the materials the calls made.
void Detach();
size_t Operations();
// Starts a call: the count its lists share, mostly.
void NewCall(Random& random);
// Call `index` through a vtable, or operation `index` with 100,000-element lists.
void VtableCall(uint64_t seed, LONG index, bool huge);
// Fills `v` for the parameter `param` (by reference to old content when
// `inOut`) as a client that means well would; false when the name is not one
// of the class's.
bool Plausible(const std::wstring& param, bool inOut, Random& random, VARIANT* v,
               CallArguments& call);
// What is wrong with a failure: no published HRESULT, no source or
// description, or an error record that tells another; empty when nothing.
std::string FailureProblem(HRESULT hr, BSTR source, BSTR description);

}  // namespace material

}  // namespace korvid::fuzz
