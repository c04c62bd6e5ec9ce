// A sample unit operation under test: a flash drum that works on its feed
// through the feed's ICapeThermoMaterialObject only, as a real CAPE-OPEN 0.9
// unit does, and makes its outlet by duplicating the feed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Korvid_h.h"

namespace korvid::sample {

class FlashDrum {
public:
    // The drum holds its own reference to the feed.
    explicit FlashDrum(ICapeThermoMaterialObject* feed);
    ~FlashDrum();
    FlashDrum(const FlashDrum&) = delete;
    FlashDrum& operator=(const FlashDrum&) = delete;

    // Runs the unit's calculation; false (with a message on stderr) when a
    // call to the material object failed.
    bool Calculate(double temperature, double pressure, const std::vector<double>& moleFractions);

    // The outlet made by Calculate (owned by the drum), or nullptr.
    IDispatch* Outlet() const { return outlet_; }

private:
    bool Ok(HRESULT hr, const char* what);

    ICapeThermoMaterialObject* feed_;
    IDispatch* outlet_ = nullptr;
};

}  // namespace korvid::sample
