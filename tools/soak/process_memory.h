// The process's committed private memory, for the long runs that check that
// memory stays flat.
#pragma once

#include <windows.h>

namespace korvid::tools {

// Committed private memory, summed over the address space. Wine's process
// memory counters leave the private usage at 0, so it is counted here; a
// heap that grows commits more pages.
inline SIZE_T CommittedPrivate() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION info;
    const char* address = nullptr;
    while (VirtualQuery(address, &info, sizeof info) == sizeof info) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return total;
}

}  // namespace korvid::tools
