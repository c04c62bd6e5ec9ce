#include "material_object/property_store.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>

#include "automation/com_error.h"
#include "material_object/name_tables.h"
#include "platform/platform.h"

namespace korvid::material_object {

namespace {

constexpr std::array<std::wstring_view, 16> kDerivativeStems = {
    L"VaporPressure", L"SurfaceTension", L"compressibilityFactor", L"heatOfVaporization",
    L"enthalpy", L"entropy", L"Volume", L"viscosity", L"thermalConductivity", L"fugacity",
    L"fugacityCoefficient", L"activity", L"activityCoefficient", L"idealGasHeatCapacity",
    L"idealGasEnthalpy", L"HeatCapacity",
};

constexpr std::array<std::wstring_view, 9> kStateKeys = {
    L"temperature", L"pressure", L"volume", L"enthalpy", L"entropy",
    L"fraction", L"phasefraction", L"flow", L"totalflow",
};

// Keys answered with one value per component.
constexpr std::array<std::wstring_view, 5> kPerComponentStems = {
    L"VaporPressure", L"fugacity", L"fugacityCoefficient", L"activity", L"activityCoefficient",
};

struct KeyTable {
    std::vector<std::wstring> names;
    std::vector<std::wstring> upperNames;  // owns the texts byUpperName points into
    std::unordered_map<std::wstring_view, int> byUpperName;
    std::vector<bool> perComponent;

    KeyTable() {
        for (auto n : kNonConstPropTable) names.emplace_back(n);
        names.emplace_back(L"kvalues");
        for (auto n : kStateKeys) names.emplace_back(n);
        for (auto s : kDerivativeStems) names.push_back(std::wstring(s) + L".DTemperature");
        for (auto s : kDerivativeStems) names.push_back(std::wstring(s) + L".DPressure");

        std::vector<std::wstring> perComponentUpper;
        for (auto n : {L"vaporPressure", L"fugacity", L"fugacityCoefficient", L"activity",
                       L"activityCoefficient", L"fraction", L"flow", L"kvalues"}) {
            perComponentUpper.push_back(Upper(n));
        }
        for (auto s : kPerComponentStems) {
            perComponentUpper.push_back(Upper(std::wstring(s) + L".DTemperature"));
            perComponentUpper.push_back(Upper(std::wstring(s) + L".DPressure"));
        }
        for (const auto& name : names) upperNames.push_back(Upper(name));
        for (size_t k = 0; k < names.size(); ++k) {
            const std::wstring& upper = upperNames[k];
            perComponent.push_back(std::find(perComponentUpper.begin(), perComponentUpper.end(),
                                             upper) != perComponentUpper.end());
            byUpperName.emplace(upper, static_cast<int>(k));
        }
    }

    // Store keys are plain ASCII: their upper case is the same in every locale.
    static std::wstring Upper(std::wstring_view s) {
        std::wstring u(s);
        for (auto& ch : u) {
            if (ch >= L'a' && ch <= L'z') ch = static_cast<wchar_t>(ch - L'a' + L'A');
        }
        return u;
    }
};

const KeyTable& Keys() {
    static const KeyTable table;
    return table;
}

}  // namespace

SlotRef SlotRef::Own(double* cells, int components) {
    SlotRef slot;
    slot.cells_ = cells;
    slot.components_ = components;
    return slot;
}

SlotRef SlotRef::Client(SAFEARRAY* psa) {
    VARTYPE vt = VT_EMPTY;
    if (!psa || SafeArrayGetDim(psa) != 3 || FAILED(SafeArrayGetVartype(psa, &vt)) ||
        vt != VT_R8) {
        RaiseRuntime(kTypeMismatch);
    }
    SlotRef slot;
    slot.psa_ = psa;
    return slot;
}

double& SlotRef::Cell(int phase, int component, int basis) const {
    if (psa_) {
        LONG index[3] = {phase, component, basis};
        void* p = nullptr;
        if (FAILED(SafeArrayPtrOfIndex(psa_, index, &p))) RaiseRuntime(kSubscriptOutOfRange);
        return *static_cast<double*>(p);
    }
    if (phase < 0 || phase >= PropertyStore::kPhases || component < 0 ||
        component >= components_ || basis < 0 || basis >= PropertyStore::kBases) {
        RaiseRuntime(kSubscriptOutOfRange);
    }
    return cells_[(static_cast<size_t>(phase) * components_ + component) * 2 + basis];
}

void PropertyStore::Create(int components) {
    components_ = components;
    const size_t slotSize = static_cast<size_t>(kPhases) * components * kBases;
    cells_.assign(slotSize * kKeyCount, 0.0);
    std::fill_n(cells_.begin() + slotSize * kTemperature, slotSize, 273.15);
    std::fill_n(cells_.begin() + slotSize * kPressure, slotSize, 101325.0);
}

int PropertyStore::KeyIndex(std::wstring_view name) {
    return KeyIndexOfUpper(platform::CurrentPlatform().UpperCase(name));
}

int PropertyStore::KeyIndexOfUpper(std::wstring_view upperName) {
    const auto& keys = Keys();
    auto it = keys.byUpperName.find(upperName);
    return it == keys.byUpperName.end() ? -1 : it->second;
}

std::wstring_view PropertyStore::KeyName(int key) { return Keys().names.at(key); }

bool PropertyStore::IsPerComponentKey(int key) { return Keys().perComponent.at(key); }

SlotRef PropertyStore::Slot(int key) {
    const size_t slotSize = static_cast<size_t>(kPhases) * components_ * kBases;
    return SlotRef::Own(cells_.data() + slotSize * key, components_);
}

double PropertyStore::Cell(int key, int phase, int component, int basis) const {
    return const_cast<PropertyStore*>(this)->Slot(key).Cell(phase, component, basis);
}

}  // namespace korvid::material_object
