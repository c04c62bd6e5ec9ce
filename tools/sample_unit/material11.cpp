// The flash drum's calls through CAPE-OPEN 1.1: the feed read with
// GetOverallTPFraction and GetOverallProp, each outlet written with
// SetOverallProp, its phase made present and flashed at its temperature and
// pressure, as a 1.1 unit does. With KORVID_SAMPLE_FLASH=ph the outlet is
// flashed at its pressure and enthalpy instead, the enthalpy set on a Mole
// basis and named without one, as CO-LaN's examples write it.
#include <cwchar>

#include "tools/sample_unit/cape_object.h"
#include "tools/sample_unit/material.h"

namespace korvid::sample_unit {

namespace {

class Material11Calls final : public Material {
public:
    Material11Calls(ICapeThermoMaterial* object, std::wstring port, bool literalText)
        : Material(std::move(port), literalText), object_(object) {}

    FeedState Read() override {
        auto* compounds = Facet<ICapeThermoCompounds>(L"GetNumCompounds");
        long count = 0;
        const HRESULT counted = compounds->GetNumCompounds(&count);
        compounds->Release();
        Check(counted, L"GetNumCompounds");
        double temperature = 0;
        FeedState feed;
        Var composition, flow;
        Check(object_->GetOverallTPFraction(&temperature, &feed.pressure, &composition.v),
              L"GetOverallTPFraction");
        if (!Numbers(composition.v, &feed.fractions))
            Refuse(L"GetOverallTPFraction", L"answered no list of numbers.");
        Text totalFlow(L"totalFlow"), mole(L"Mole");
        Check(object_->GetOverallProp(Arg(totalFlow, L"totalFlow"), Arg(mole, L"Mole"), &flow.v),
              L"GetOverallProp totalFlow");
        std::vector<double> flows;
        if (!Numbers(flow.v, &flows) || flows.size() != 1)
            Refuse(L"GetOverallProp totalFlow", L"answered no single number.");
        feed.totalFlow = flows[0];
        CheckFractions(feed, count, L"compounds");
        return feed;
    }

    void Set(const wchar_t* property, const wchar_t* basis,
             const std::vector<double>& values) override {
        // 1.1 spells the basis "Mole"; temperature and pressure have none.
        Text name(property), basisText(*basis ? L"Mole" : L"");
        Var list;
        cape_open::PutDoubles(values, &list.v);
        Check(object_->SetOverallProp(name, basisText, list.v),
              std::wstring(L"SetOverallProp ") + property);
    }

    void CopyFrom(const Material& source) override {
        const auto* feed = dynamic_cast<const Material11Calls*>(&source);
        if (!feed) return;
        IDispatch* object = feed->object_;
        Check(object_->CopyFromMaterial(&object), L"CopyFromMaterial");
    }

    void Settle(const wchar_t* stateOfAggregation, bool careless) override {
        if (careless) return static_cast<void>(Flash());
        Var labels, states, keys, present, status;
        auto* phases = Facet<ICapeThermoPhases>(L"GetPhaseList");
        const HRESULT listed = phases->GetPhaseList(&labels.v, &states.v, &keys.v);
        phases->Release();
        Check(listed, L"GetPhaseList");
        const std::wstring label = PhaseOf(labels.v, states.v, stateOfAggregation);
        PutTexts({label.c_str()}, &present.v);
        status.v.vt = VT_ARRAY | VT_I4;
        status.v.parray = SafeArrayCreateVector(VT_I4, 0, 1);
        if (!status.v.parray) throw std::bad_alloc();
        Check(object_->SetPresentPhases(present.v, status.v), L"SetPresentPhases");
        const HRESULT flashed = Flash();
        // A material object that cannot flash leaves the outlet as the drum
        // set it: that is no failure of the drum.
        if (flashed == static_cast<HRESULT>(ECapeNoImplHR)) {
            SetErrorInfo(0, nullptr);
            return;
        }
        Check(flashed, L"CalcEquilibrium");
    }

    HRESULT Try(const wchar_t* property) override {
        Text name(property), basis(L"");
        Var result;
        return object_->GetOverallProp(name, basis, &result.v);
    }

private:
    // The flash of the outlet, unchecked: at its temperature and pressure,
    // or (KORVID_SAMPLE_FLASH=ph) at its pressure and an enthalpy set on
    // "Mole" and named without a basis, as CO-LaN's examples write it.
    HRESULT Flash() {
        Var first, second;
        if (FlashesPH()) {
            Set(L"enthalpy", L"Mole", {0.0});
            PutTexts({L"pressure", L"", L"Overall"}, &first.v);
            PutTexts({L"enthalpy", L"", L"Overall"}, &second.v);
        } else {
            PutTexts({L"temperature", L"", L"Overall"}, &first.v);
            PutTexts({L"pressure", L"", L"Overall"}, &second.v);
        }
        Text unspecified(L"Unspecified");
        auto* routine = Facet<ICapeThermoEquilibriumRoutine>(L"CalcEquilibrium");
        const HRESULT flashed = routine->CalcEquilibrium(first.v, second.v, unspecified);
        routine->Release();
        return flashed;
    }

    static bool FlashesPH() {
        return _wcsicmp(SampleSetting(L"KORVID_SAMPLE_FLASH").c_str(), L"ph") == 0;
    }

    // Another interface of the object, or the failure of `call` without it.
    template <typename Interface>
    Interface* Facet(const wchar_t* call) {
        Interface* facet = nullptr;
        if (FAILED(object_->QueryInterface(__uuidof(Interface), reinterpret_cast<void**>(&facet))))
            Refuse(call, L"is not possible: the object answers no interface for it.");
        return facet;
    }

    // The first phase label whose state of aggregation is `state`.
    std::wstring PhaseOf(const VARIANT& labels, const VARIANT& states, const wchar_t* state) {
        const bool lists = labels.vt == (VT_ARRAY | VT_BSTR) && states.vt == (VT_ARRAY | VT_BSTR) &&
                           SafeArrayGetDim(labels.parray) == 1 &&
                           SafeArrayGetDim(states.parray) == 1;
        LONG lower = 0, upper = -1;
        if (lists && SUCCEEDED(SafeArrayGetLBound(states.parray, 1, &lower)) &&
            SUCCEEDED(SafeArrayGetUBound(states.parray, 1, &upper))) {
            for (LONG k = lower; k <= upper; ++k) {
                BSTR aggregation = nullptr, label = nullptr;
                SafeArrayGetElement(states.parray, &k, &aggregation);
                const bool match = aggregation && _wcsicmp(aggregation, state) == 0;
                SysFreeString(aggregation);
                if (match && SUCCEEDED(SafeArrayGetElement(labels.parray, &k, &label)) && label) {
                    std::wstring text(label, SysStringLen(label));
                    SysFreeString(label);
                    return text;
                }
            }
        }
        Refuse(L"GetPhaseList", std::wstring(L"listed no phase of state ") + state + L".");
    }

    ICapeThermoMaterial* object_;
};

}  // namespace

std::unique_ptr<Material> Material11(ICapeThermoMaterial* object, std::wstring port,
                                     bool literalText) {
    return std::make_unique<Material11Calls>(object, std::move(port), literalText);
}

}  // namespace korvid::sample_unit
