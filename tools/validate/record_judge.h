// The record of the calls a unit made on its material objects, printed
// object by object and judged: an inlet's object must not change, an
// outlet's whole state must be set.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tools/validate/pass_through.h"
#include "tools/validate/verdict.h"

namespace korvid::validate {

// How the host used a port's own object.
struct PortUse {
    const ObjectRecord* record;
    bool inlet;             // read only for the unit
    bool outletCalculated;  // an outlet, connected, after a successful Calculate
    // 1.1: the outlet's state tells what was never set (`unset`, read back);
    // 0.9 answers defaults, so only the record can tell.
    bool stateTells;
    std::wstring unset;
    std::wstring description;
};

// Prints every object of `record` with its calls (a run of equal calls as
// one line), the references the unit held after Terminate
// (`keptAfterTerminate`, by object) and now, and the Releases refused; adds
// the inlet-changed and outlet-unset findings of the ports in `uses`, the
// over-released findings and, when the unit's Calculate succeeded
// (`calculated`), the error-ignored ones.
void JudgeRecord(const CallRecord& record, const std::vector<PortUse>& uses,
                 const std::vector<ULONG>& keptAfterTerminate, bool calculated, Verdict& verdict);

}  // namespace korvid::validate
