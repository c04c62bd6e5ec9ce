// The host's own calls on a port's material object, by thermo version: 1.0
// gives each port a Korvid.Tessel (ICapeThermoMaterialObject), 1.1 a
// Korvid.Material (ICapeThermoMaterial). The host counts the components,
// sets an inlet's state (1.1: and flashes it) and reads an outlet's back, through its own
// reference, and hands the unit a pass-through of the version.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "tools/validate/pass_through.h"

namespace korvid::validate {

struct Thermo {
    bool v11 = false;
    // The ProgID of the class each material port gets.
    const wchar_t* ClassName() const { return v11 ? L"Korvid.Material" : L"Korvid.Tessel"; }
    const wchar_t* Version() const { return v11 ? L"1.1" : L"1.0"; }
    // The operations the host calls, as printed.
    const wchar_t* CountCall() const { return v11 ? L"GetNumCompounds" : L"GetNumComponents"; }
    const wchar_t* SetCall() const { return v11 ? L"SetOverallProp" : L"SetProp"; }
    const wchar_t* GetCall() const { return v11 ? L"GetOverallProp" : L"GetProp"; }

    HRESULT Count(IUnknown* object, LONG* count) const;
    // An overall value: `basis` "mole" (1.1: "Mole") or "" for none.
    HRESULT Set(IUnknown* object, const wchar_t* property, const wchar_t* basis,
                const std::vector<double>& values) const;
    HRESULT Get(IUnknown* object, const wchar_t* property, const wchar_t* basis,
                std::vector<double>* values) const;
    // 1.1 only, as a simulator hands a unit its streams: every phase of the
    // object's list made present with an unknown status (`labels`), then the
    // object flashed at its overall temperature and pressure.
    HRESULT PresentAllPhases(IUnknown* object, std::vector<std::wstring>* labels) const;
    HRESULT FlashTP(IUnknown* object) const;
    // Whether a failed Get says the value was never set (1.1 only: 0.9
    // answers defaults for a value never set).
    bool NeverSet(HRESULT hr) const;
    // The pass-through the unit is given.
    IDispatch* Wrap(IUnknown* object, ObjectRecord& record, CallRecord& all) const;
};

}  // namespace korvid::validate
