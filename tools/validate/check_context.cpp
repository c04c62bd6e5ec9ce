// The check `context`: hosts hand the simulation context in either order.
// The life handed it before Initialize (as CO-LaN's errata put it); a second
// instance gets it after Initialize (as some hosts do). The unit must take
// both: a refusal in one order, or an Initialize that fails without a
// context, is finding `context-order`.
#include "tools/validate/com_values.h"
#include "tools/validate/output.h"
#include "tools/validate/session.h"

namespace korvid::validate {

std::wstring Session::CheckContext() {
    if (!offersUtilities_) return L"the unit answers no ICapeUtilities";
    Line(L"before Initialize (the life above): put simulationContext " + Outcome(lifeContext_) +
         L", Initialize " + Outcome(lifeInitialize_));
    if (FAILED(lifeContext_) && !Declined(lifeContext_))
        verdict_.Add({L"unit", L"context-order",
                      L"put simulationContext before Initialize: " + Hex(lifeContext_)});
    IUnknown* made = nullptr;
    verdict_.SetCall(L"create a second instance");
    const HRESULT created =
        CoCreateInstance(clsid_, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&made));
    Line(L"create a second instance: " + Outcome(created));
    ICapeUtilities* utilities = nullptr;
    if (SUCCEEDED(created)) made->QueryInterface(IID_PPV_ARGS(&utilities));
    Drop(made);
    if (!utilities) {
        verdict_.Failure(L"create a second instance",
                         Hex(FAILED(created) ? created : E_NOINTERFACE));
        return {};
    }
    const HRESULT initialized =
        Step(L"second instance: Initialize", utilities, [&] { return utilities->Initialize(); });
    if (FAILED(initialized) && SUCCEEDED(lifeInitialize_)) {
        verdict_.Add({L"unit", L"context-order",
                      L"Initialize without a context failed: " + Hex(initialized)});
    } else if (SUCCEEDED(initialized)) {
        const HRESULT given =
            GiveContext(utilities, L"second instance: put simulationContext after Initialize");
        if (FAILED(given) && !Declined(given))
            verdict_.Add({L"unit", L"context-order",
                          L"put simulationContext after Initialize: " + Hex(given)});
        Step(L"second instance: Terminate", utilities, [&] { return utilities->Terminate(); });
    }
    verdict_.SetCall(L"release the second instance");
    Line(L"release the second instance: " + std::to_wstring(utilities->Release()) +
         L" references left");
    return {};
}

}  // namespace korvid::validate
