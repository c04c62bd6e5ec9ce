// An IMallocSpy that counts the task allocator's live blocks (BSTRs,
// SAFEARRAYs, ...) and its allocations, for the programs that check for leaks
// or count allocations. Run them with OANOCACHE=1 (or SetOaNoCache) so that
// freed BSTRs reach the allocator.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <unordered_set>

namespace korvid::testing {

// Freed BSTRs go back to the task allocator instead of the BSTR cache, so that
// the spy sees them (oleaut32 exports SetOaNoCache, but no header declares it).
inline void DisableBstrCache() {
    using SetOaNoCache = void(WINAPI*)();
    const HMODULE oleaut32 = GetModuleHandleW(L"oleaut32.dll");
    if (auto set = reinterpret_cast<SetOaNoCache>(
            reinterpret_cast<void*>(GetProcAddress(oleaut32, "SetOaNoCache")))) {
        set();
    }
}

// Counts the task allocator's live blocks (BSTRs, SAFEARRAYs, ...) and its
// allocations.
class AllocationSpy final : public IMallocSpy {
public:
    size_t Live() const { return live_.size(); }
    size_t Allocations() const { return allocations_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMallocSpy)) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T cb) override { return cb; }
    void* STDMETHODCALLTYPE PostAlloc(void* p) override {
        if (p) live_.insert(p);
        ++allocations_;
        return p;
    }
    void* STDMETHODCALLTYPE PreFree(void* p, BOOL) override {
        if (p) live_.erase(p);
        return p;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* p, SIZE_T cb, void** out, BOOL) override {
        if (p) live_.erase(p);
        *out = p;
        return cb;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* p, BOOL) override {
        if (p) live_.insert(p);
        return p;
    }
    void* STDMETHODCALLTYPE PreGetSize(void* p, BOOL) override { return p; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T cb, BOOL) override { return cb; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* p, BOOL) override { return p; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int alloc) override { return alloc; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

private:
    std::unordered_set<void*> live_;
    size_t allocations_ = 0;
};

}  // namespace korvid::testing
