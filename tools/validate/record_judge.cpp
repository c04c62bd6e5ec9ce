#include "tools/validate/record_judge.h"

#include <algorithm>

#include "tools/validate/output.h"

namespace korvid::validate {

namespace {

bool Same(const RecordedCall& a, const RecordedCall& b) {
    return a.operation == b.operation && a.detail == b.detail && a.outcome == b.outcome;
}

void PrintCalls(const std::vector<RecordedCall>& calls) {
    for (size_t c = 0; c < calls.size();) {
        const RecordedCall& call = calls[c];
        size_t same = 1;
        while (c + same < calls.size() && Same(calls[c + same], call)) ++same;
        Line(L"    " + call.operation + (call.detail.empty() ? L"" : L" " + call.detail) + L": " +
             Outcome(call.outcome) + (call.error.empty() ? L"" : L" " + Quoted(call.error)) +
             (same > 1 ? L" (" + std::to_wstring(same) + L" times)" : L""));
        c += same;
    }
}

bool Named(const std::wstring& property, const wchar_t* name) {
    return _wcsicmp(property.c_str(), name) == 0;
}

// Inlet-changed: each operation (with its property) that changes the object,
// once, in the order first called, whatever its outcome. Outlet-unset: the
// parts of the state no successful SetProp gave, whatever the phase (a 0.9
// object answers defaults for values never set, so its stored state cannot
// tell; a 1.1 one can, and its read-back decides).
void Judge(const ObjectRecord& object, const PortUse& use, Verdict& verdict) {
    std::vector<std::wstring> changes;
    bool set[4] = {};  // temperature, pressure, flow, composition
    for (const RecordedCall& call : object.calls) {
        std::wstring operation = call.operation;
        if (operation.rfind(L"Invoke ", 0) == 0) operation.erase(0, 7);
        const std::wstring change = operation + (call.detail.empty() ? L"" : L" " + call.detail);
        if (use.inlet && ChangesObject(operation) &&
            std::find(changes.begin(), changes.end(), change) == changes.end())
            changes.push_back(change);
        if (!Named(operation, L"SetProp") || FAILED(call.outcome)) continue;
        set[0] |= Named(call.detail, L"temperature");
        set[1] |= Named(call.detail, L"pressure");
        set[2] |= Named(call.detail, L"totalFlow") || Named(call.detail, L"flow");
        set[3] |= Named(call.detail, L"fraction") || Named(call.detail, L"flow");
    }
    for (const std::wstring& change : changes)
        verdict.Add({object.label, L"inlet-changed", change});
    std::wstring unset;
    const wchar_t* parts[] = {L"temperature", L"pressure", L"flow", L"composition"};
    for (int q = 0; q < 4; ++q)
        if (!set[q]) unset += (unset.empty() ? L"" : L" ") + std::wstring(parts[q]);
    if (use.stateTells) unset = use.unset;
    if (use.outletCalculated && !unset.empty()) verdict.Add({object.label, L"outlet-unset", unset});
}

// Over-released: each Release refused, by the host's call under way (in
// the order first seen). Error-ignored: the calls that failed while the
// unit's Calculate, which succeeded, was under way.
void JudgeUnitConduct(const ObjectRecord& object, bool calculated, Verdict& verdict) {
    std::vector<std::pair<std::wstring, size_t>> refused;
    for (const std::wstring& during : object.overReleased) {
        auto same = std::find_if(refused.begin(), refused.end(),
                                 [&](const auto& seen) { return seen.first == during; });
        if (same == refused.end())
            refused.push_back({during, 1});
        else
            ++same->second;
    }
    for (const auto& [during, count] : refused) {
        const std::wstring releases =
            std::to_wstring(count) + (count == 1 ? L" Release" : L" Releases");
        Line(L"    " + releases + L" refused: no reference of the unit left (during " +
             (during.empty() ? L"no call of the host" : during) + L")");
        verdict.Add({object.label, L"over-released",
                     releases + L" more than the references taken, during " +
                         (during.empty() ? L"no call of the host" : during)});
    }
    if (!calculated) return;
    std::wstring failed;
    for (const RecordedCall& call : object.calls) {
        if (!call.inCalculate || SUCCEEDED(call.outcome)) continue;
        failed += (failed.empty() ? L"" : L"; ") + call.operation +
                  (call.detail.empty() ? L"" : L" " + call.detail) + L": " + Outcome(call.outcome) +
                  (call.error.empty() ? L"" : L" " + Quoted(call.error));
    }
    if (!failed.empty()) verdict.Add({object.label, L"error-ignored", failed});
}

}  // namespace

void JudgeRecord(const CallRecord& record, const std::vector<PortUse>& uses,
                 const std::vector<ULONG>& keptAfterTerminate, bool calculated, Verdict& verdict) {
    Line(L"");
    Line(L"Calls the unit made through each material object:");
    size_t k = 0;
    for (const ObjectRecord& object : record.Objects()) {
        const PortUse* use = nullptr;
        for (const PortUse& candidate : uses)
            if (candidate.record == &object) use = &candidate;
        Line(object.label + L" (" + (use ? use->description : L"a copy the unit made") + L"): " +
             std::to_wstring(object.calls.size()) +
             L" calls; references held by the unit after Terminate: " +
             std::to_wstring(k < keptAfterTerminate.size() ? keptAfterTerminate[k] : 0) +
             L", after its release: " + std::to_wstring(object.references));
        ++k;
        PrintCalls(object.calls);
        if (use) Judge(object, *use, verdict);
        JudgeUnitConduct(object, calculated, verdict);
        for (const std::wstring& argument : object.notBstr)
            verdict.Add({object.label, L"not-a-bstr", argument + L" is not a BSTR (a literal?)"});
    }
}

}  // namespace korvid::validate
