// What the flash drum shares with its ports and parameters.
#pragma once

#include <vector>

#include "tools/sample_unit/faults.h"

namespace korvid::sample_unit {

class Port;

struct DrumState {
    Fault fault = Fault::None;
    // Counts every change of a connection or a parameter value: the unit's
    // validation holds while the count stays what it was at Validate.
    unsigned changes = 0;
    // The unit's ports while it has them (each kept alive by the unit).
    std::vector<Port*> ports;
};

}  // namespace korvid::sample_unit
