// The pass-through the host puts between the unit under test and each
// material object: it forwards every call unchanged and records, per object,
// which operation the unit called and with what outcome. Korvid's own trace
// report cannot say this: all objects of a thread write to the newest report.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace korvid::validate {

// One call the unit made on a material object.
struct RecordedCall {
    std::wstring operation;  // "SetProp", "Duplicate"...; "Invoke <member>" through IDispatch
    std::wstring detail;     // the property or flash type named, the copy made
    HRESULT outcome;
    std::wstring error;  // the error information's description of a failure
};

// What one material object saw: a port's own object, or a copy the unit made
// from one ("Feed copy 1").
struct ObjectRecord {
    std::wstring label;
    std::wstring port;
    bool copy = false;
    std::vector<RecordedCall> calls;
    ULONG references = 0;  // held now on the pass-through, the host's included
    // Texts the unit passed that are not BSTRs: "GetOverallProp argument 1".
    std::vector<std::wstring> notBstr;
};

// The records of one run. Their addresses stay fixed while the run lasts.
class CallRecord {
public:
    ObjectRecord& Add(std::wstring label, std::wstring port, bool copy);
    const std::deque<ObjectRecord>& Objects() const { return objects_; }
    // The label of the next copy made from an object of `port`.
    std::wstring NextCopyLabel(const std::wstring& port) const;

    // Told the label of a copy just before the unit's call that makes it
    // is forwarded (the host names the copy's report).
    std::function<void(const std::wstring& label)> beforeCopy;
    // Each live pass-through (by its IUnknown): the inner object's IDispatch
    // and its label.
    std::map<IUnknown*, std::pair<IDispatch*, std::wstring>> inner;

private:
    std::deque<ObjectRecord> objects_;
};

// A pass-through around `inner` (a material object) that records into
// `record`; its IDispatch with one reference, or nullptr when `inner` lacks
// one of the material object's interfaces or memory is short. Copies the
// unit makes through it are wrapped the same way.
IDispatch* WrapMaterialObject(IUnknown* inner, ObjectRecord& record, CallRecord& all);
// The same around a CAPE-OPEN 1.1 material (pass_through11.cpp): it answers
// each 1.1 interface the inner object answers.
IDispatch* WrapMaterial11(IUnknown* inner, ObjectRecord& record, CallRecord& all);

// Whether `operation` (without "Invoke ") changes the object it is called on
// (0.9 or 1.1).
bool ChangesObject(const std::wstring& operation);

}  // namespace korvid::validate
