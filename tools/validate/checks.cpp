// The runner of the checks beyond the one life: a table of checks, each run
// when chosen (--checks; all by default), printed under its name and ended
// with its findings or "not offered" (the unit does not support what the
// check needs, which is no finding).
#include <iterator>

#include "tools/validate/output.h"
#include "tools/validate/session.h"

namespace korvid::validate {

namespace {

struct Check {
    const wchar_t* name;
    bool live;  // on the life's unit, solved and not terminated; else on instances of its own
    const wchar_t* what;
    std::wstring (Session::*run)();
};

}  // namespace

void Session::RunChecks(bool live) {
    static const Check kChecks[] = {
        {L"resolve", true, L"the unit solved again, reconnected, its outlets cleared",
         &Session::CheckResolve},
        {L"parameters", true, L"the unit's parameters listed, solved with, set out of bounds",
         &Session::CheckParameters},
        {L"report", true, L"the unit's reports listed, selected and produced",
         &Session::CheckReport},
        // Last of those on the life's unit: releasing the loaded instance's
        // material objects closes the report that Korvid objects of this
        // thread share, and the life's objects' next calls would fail.
        {L"persistence", true, L"the unit saved after its solve and loaded into a new instance",
         &Session::CheckPersistence},
        {L"context", false, L"the simulation context before and after Initialize",
         &Session::CheckContext},
        {L"registry", false, L"the unit's registration as hosts read it", &Session::CheckRegistry},
    };
    static_assert(std::size(kChecks) == std::size(kCheckNames), "a check without a name");
    for (const Check& check : kChecks) {
        if (check.live != live || !options_.Chosen(check.name)) continue;
        const std::wstring name = check.name;
        verdict_.SetCheck(name);
        Line(L"");
        Line(L"Check " + name + L": " + check.what);
        const std::wstring notOffered = (this->*check.run)();
        const size_t findings = verdict_.FindingCount(name);
        Line(L"Check " + name + L": " +
             (!notOffered.empty() ? L"not offered (" + notOffered + L")"
              : findings == 1     ? std::wstring(L"1 finding")
                                  : std::to_wstring(findings) + L" findings"));
        verdict_.SetCheck(L"");
    }
}

}  // namespace korvid::validate
