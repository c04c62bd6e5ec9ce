// The pass-through the host puts between the unit under test and each
// material object: it forwards every call unchanged and records, per object,
// which operation the unit called and with what outcome. Korvid's own trace
// report cannot say this: all objects of a thread write to the newest report.
// The host holds every pass-through outside COM reference counting: the COM
// count is the unit's alone, and a Release the unit has no reference for is
// refused and recorded, so no miscount of the unit can free one under the
// host.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <deque>
#include <functional>
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
    bool inCalculate;    // made while the unit's Calculate was under way
};

// What one material object saw: a port's own object, or a copy the unit made
// from one ("Feed copy 1").
struct ObjectRecord {
    std::wstring label;
    std::wstring port;
    bool copy = false;
    std::vector<RecordedCall> calls;
    ULONG references = 0;  // the unit's references on the pass-through now
    // Each Release refused (the unit held no reference): the host's call under way.
    std::vector<std::wstring> overReleased;
    // Texts the unit passed that are not BSTRs: "GetOverallProp argument 1".
    std::vector<std::wstring> notBstr;
};

namespace pass {
class PassThrough;
}

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
    // The host's call under way, named with a refused Release.
    std::function<std::wstring()> callUnderWay;
    // Set while the unit's Calculate is under way: its calls are marked.
    bool calculating = false;

    // The record of the pass-through that `pointer` is one of the interfaces
    // of, or nullptr. No call is made on `pointer`.
    ObjectRecord* Find(const void* pointer) const;
    // Gives back to the pass-through that `pointer` is an interface of one
    // reference the unit added and handed to the host (an [out] pointer),
    // without a call through `pointer`.
    void HandBack(const void* pointer);
    // The host lets go of every pass-through: one the unit holds no
    // reference on is freed now, any other at the unit's last Release.
    // Returns how many the unit still holds (the record must then outlive
    // the run: they write to it).
    size_t LetGo();

private:
    friend class pass::PassThrough;
    std::deque<ObjectRecord> objects_;
    std::vector<pass::PassThrough*> live_;
};

// A pass-through around `inner` (a material object) that records into
// `record`, held by the host; its IDispatch (no reference of the unit yet),
// or nullptr when `inner` lacks one of the material object's interfaces or
// memory is short. Copies the unit makes through it are wrapped the same way
// and handed to the unit with its one reference.
IDispatch* WrapMaterialObject(IUnknown* inner, ObjectRecord& record, CallRecord& all);
// The same around a CAPE-OPEN 1.1 material (pass_through11.cpp): it answers
// each 1.1 interface the inner object answers.
IDispatch* WrapMaterial11(IUnknown* inner, ObjectRecord& record, CallRecord& all);

// Whether `operation` (without "Invoke ") changes the object it is called on
// (0.9 or 1.1).
bool ChangesObject(const std::wstring& operation);

}  // namespace korvid::validate
