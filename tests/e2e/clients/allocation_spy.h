// An IMallocSpy that counts the task allocator's live blocks (BSTRs,
// SAFEARRAYs, ...), for the clients that check for leaks. Run them with
// OANOCACHE=1 so that freed BSTRs reach the allocator.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <unordered_set>

namespace korvid::e2e {

// Counts the task allocator's live blocks (BSTRs, SAFEARRAYs, ...).
class AllocationSpy final : public IMallocSpy {
public:
    size_t Live() const { return live_.size(); }

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
};

}  // namespace korvid::e2e
