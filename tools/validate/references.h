// What the host checks of the unit's reference counting on the material
// objects it was given: an object handed back (connectedObject) carries a
// reference the unit added, and none is kept after Disconnect and
// Terminate. The host takes back what it was handed without trusting the
// count: a reference the unit never added is never released.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <vector>

#include "tools/validate/pass_through.h"
#include "tools/validate/verdict.h"

namespace korvid::validate {

// The unit's references on every pass-through of a record, taken before a
// call that hands one out.
class HandedOut {
public:
    explicit HandedOut(CallRecord& record);
    // After the call: whether the unit added a reference to the pass-through
    // `given` is an interface of (true for any other object).
    bool AddRefed(IDispatch* given) const;
    // Gives back the reference the call handed out with `given`: to its
    // pass-through without a call through `given`, or a Release of any other
    // object; nothing when the unit added none. `given` becomes nullptr.
    void GiveBack(IDispatch*& given) const;

private:
    CallRecord& record_;
    std::vector<ULONG> before_;
};

// After Terminate: the references the unit holds on each object of
// `record`, in order, with an object-kept finding for each one held.
std::vector<ULONG> KeptReferences(const CallRecord& record, Verdict& verdict);

}  // namespace korvid::validate
