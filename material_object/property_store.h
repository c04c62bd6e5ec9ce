// The property store: one slot of doubles per store key, each indexed
// (phase 0..7, component 0..n-1, basis 0..1), allocated once at creation.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <vector>

namespace korvid::material_object {

// A reference to one slot: either a slot of the object's own store, or a
// client's three-dimensional SAFEARRAY of doubles handed to the published
// slot procedures. Cell() raises error 9 outside the slot.
class SlotRef {
public:
    static SlotRef Own(double* cells, int components);
    // A client's array (VT_R8, three dimensions); error 13 when it is not one.
    static SlotRef Client(SAFEARRAY* psa);

    double& Cell(int phase, int component, int basis) const;

private:
    SlotRef() = default;
    double* cells_ = nullptr;  // own slot: ((phase * n) + component) * 2 + basis
    int components_ = 0;
    SAFEARRAY* psa_ = nullptr;  // client slot
};

class PropertyStore {
public:
    static constexpr int kKeyCount = 93;
    static constexpr int kPhases = 8;
    static constexpr int kBases = 2;

    // Allocates every slot for `components` components with the initial
    // values: temperature 273.15, pressure 101325.0, everything else 0.0.
    void Create(int components);

    int Components() const { return components_; }
    // Index of the store key named `name` (matched in upper case, whole
    // string, nothing trimmed), or -1 when it is no store key.
    static int KeyIndex(std::wstring_view name);
    // The same for a name already in upper case.
    static int KeyIndexOfUpper(std::wstring_view upperName);
    // The key's name as listed (mixed case).
    static std::wstring_view KeyName(int key);
    // True for the 18 keys that GetProp answers with one value per component.
    static bool IsPerComponentKey(int key);

    SlotRef Slot(int key);
    double Cell(int key, int phase, int component, int basis) const;

    // Positions of the keys the object itself addresses: the 51 non-constant
    // property names, then "kvalues", then the nine state keys.
    static constexpr int kTemperature = 52;
    static constexpr int kPressure = 53;
    static constexpr int kPhaseFraction = 58;

private:
    int components_ = 0;
    std::vector<double> cells_;  // kKeyCount slots one after another
};

}  // namespace korvid::material_object
