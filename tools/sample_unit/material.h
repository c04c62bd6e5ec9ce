// The flash drum's calls of a port's material object, through CAPE-OPEN 1.1
// (ICapeThermoMaterial) or 0.9 (ICapeThermoMaterialObject), whichever the
// port was given. A call that fails raises ECapeUnknown naming the call, the
// port and the object's own error description.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "KorvidThermo11_h.h"
#include "tools/cape_open/com_values.h"
#include "tools/sample_unit/faults.h"
#include "Korvid_h.h"

namespace korvid::sample_unit {

// The overall state the drum reads from its feed (mole basis).
struct FeedState {
    double pressure = 0;
    double totalFlow = 0;
    std::vector<double> fractions;
};

class Material {
public:
    virtual ~Material() = default;
    // The feed's state; fails when the fractions are not one per component.
    virtual FeedState Read() = 0;
    // An overall value on `basis` ("" for none): one value, or one per
    // component for "fraction".
    virtual void Set(const wchar_t* property, const wchar_t* basis,
                     const std::vector<double>& values) = 0;
    // The compounds' flows (mol/s), as some units give an outlet instead of
    // a total and fractions: 0.9 one SetProp "flow" per compound, named by
    // its id; 1.1 all of them in one SetOverallProp.
    virtual void SetFlows(const std::vector<double>& flows) { Set(L"flow", L"mole", flows); }
    // 1.1: the object becomes a copy of `source` (CopyFromMaterial), as 1.1
    // units often start an outlet; 0.9 has no such call.
    virtual void CopyFrom(const Material& /*source*/) {}
    // What a unit of the object's version does once an outlet's state is
    // set: 1.1 makes the phase of `stateOfAggregation` ("Vapor", "Liquid")
    // present and flashes the outlet at its temperature and pressure; 0.9
    // nothing (the outlet holds exactly what the drum set). `careless` (the
    // ignores-error fault): 1.1 makes no phase present and ignores the
    // flash's refusal; 0.9 ignores the refusal of a property it asks for.
    virtual void Settle(const wchar_t* stateOfAggregation, bool careless) = 0;
    // Asks for an overall property and answers the outcome unchecked, its
    // error information left on the thread (the careless faults).
    virtual HRESULT Try(const wchar_t* property) = 0;
    // What the faults foreign-ids and wild-pointer do on the feed before it
    // is read; 1.1 names no components in its calls and does neither.
    virtual void MisbehaveOnFeed(Fault) {}

protected:
    Material(std::wstring port, bool literalText)
        : port_(std::move(port)), literalText_(literalText) {}
    // What the drum passes for the text `bstr` holds: the BSTR, or with the
    // literal-text fault the wide literal `literal`, which is not one.
    BSTR Arg(const cape_open::Text& bstr, const wchar_t* literal) const {
        return literalText_ ? const_cast<BSTR>(literal) : static_cast<BSTR>(bstr);
    }
    // Raises ECapeUnknown for a failed call, with the object's description.
    void Check(HRESULT hr, const std::wstring& call) const;
    [[noreturn]] void Refuse(const std::wstring& call, const std::wstring& why) const;
    // Fails unless the feed answered one fraction per component (`what`).
    static void CheckFractions(const FeedState& feed, long count, const wchar_t* what);

    std::wstring port_;  // the name of the port the object is connected to
    bool literalText_;
};

// `literalText`: the feed is read with wide literals where BSTRs belong.
std::unique_ptr<Material> Material09(ICapeThermoMaterialObject* object, std::wstring port,
                                     bool literalText);
std::unique_ptr<Material> Material11(ICapeThermoMaterial* object, std::wstring port,
                                     bool literalText);

using cape_open::Text;
using cape_open::PutTexts;
using cape_open::Var;

// The numbers of a one-dimensional array of doubles or of variants that
// convert; nothing when `value` is no such array.
bool Numbers(const VARIANT& value, std::vector<double>* numbers);

}  // namespace korvid::sample_unit
