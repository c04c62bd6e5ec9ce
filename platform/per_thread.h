// One value per thread, made on first use and destroyed when its thread ends.
//
// The C++ runtime's thread_local destructors are not used for it: in a module
// that links the runtime statically, a thread_local object with a destructor
// that a second thread has used leaves the process hanging at its exit (seen
// under Wine, with a host that makes objects in two apartment threads).
// Fiber-local storage keeps one value per thread and calls its destructor
// when the thread ends, through the callback FlsAlloc registers.
#pragma once

#include <windows.h>

namespace korvid::platform {

template <typename T>
class PerThread {
public:
    PerThread() : index_(FlsAlloc(&Destroy)) {}
    ~PerThread() {
        if (index_ != FLS_OUT_OF_INDEXES) FlsFree(index_);
    }
    PerThread(const PerThread&) = delete;
    PerThread& operator=(const PerThread&) = delete;

    // The calling thread's value.
    T& Get() {
        if (auto* value = static_cast<T*>(FlsGetValue(index_))) return *value;
        auto* value = new T();
        FlsSetValue(index_, value);
        return *value;
    }

private:
    static void WINAPI Destroy(void* value) { delete static_cast<T*>(value); }

    DWORD index_;
};

}  // namespace korvid::platform
