// KORVID_TIME_SCALE: a whole number (default 1) that stretches the waits of
// the programs that drive or watch Korvid from outside (the autofill, the
// form checker, the fuzzer's hang watch). The test scripts set it on slow
// machines, such as the emulated x86 machine of the 32-bit tests; what the
// programs check stays the same.
#pragma once

#include <cstdlib>

namespace korvid::form_driver {

// `wait` (in any unit) stretched by KORVID_TIME_SCALE.
inline int Scaled(int wait) {
    static const int scale = [] {
        const char* text = std::getenv("KORVID_TIME_SCALE");
        const int value = text ? std::atoi(text) : 1;
        return value > 0 ? value : 1;
    }();
    return wait * scale;
}

}  // namespace korvid::form_driver
