// The unseeded single-precision generator: a 24-bit linear congruential
// generator whose state starts at the same value in every process.
#pragma once

#include <cstdint>

namespace korvid::platform {

class Rnd24 {
public:
    float Next() {
        state_ = (state_ * 1140671485u + 12820163u) & 0xFFFFFFu;
        return static_cast<float>(state_) / 16777216.0f;
    }

private:
    uint32_t state_ = 0x50000u;
};

}  // namespace korvid::platform
