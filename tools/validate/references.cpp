#include "tools/validate/references.h"

#include <string>

namespace korvid::validate {

HandedOut::HandedOut(CallRecord& record) : record_(record) {
    for (const ObjectRecord& object : record.Objects()) before_.push_back(object.references);
}

bool HandedOut::AddRefed(IDispatch* given) const {
    const ObjectRecord* found = record_.Find(given);
    if (!found) return true;
    size_t k = 0;
    for (const ObjectRecord& object : record_.Objects()) {
        if (&object == found) break;
        ++k;
    }
    return found->references > (k < before_.size() ? before_[k] : 0);
}

void HandedOut::GiveBack(IDispatch*& given) const {
    if (!record_.Find(given)) {
        if (given) given->Release();
    } else if (AddRefed(given)) {
        record_.HandBack(given);
    }
    given = nullptr;
}

std::vector<ULONG> KeptReferences(const CallRecord& record, Verdict& verdict) {
    std::vector<ULONG> kept;
    for (const ObjectRecord& object : record.Objects()) {
        kept.push_back(object.references);
        if (object.references)
            verdict.Add({object.label, L"object-kept",
                         std::to_wstring(object.references) +
                             (object.references == 1 ? L" reference" : L" references") +
                             L" held after Disconnect and Terminate"});
    }
    return kept;
}

}  // namespace korvid::validate
