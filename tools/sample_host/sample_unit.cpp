#include "tools/sample_host/sample_unit.h"

#include <oleauto.h>

#include <cstdio>

#include "tools/cape_open/com_values.h"

namespace korvid::sample {

namespace {

using cape_open::Doubles;
using cape_open::Text;
using cape_open::Var;

void MakeStrings(VARIANT* out, const std::vector<const wchar_t*>& items) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(items.size()));
    BSTR* data = nullptr;
    SafeArrayAccessData(psa, reinterpret_cast<void**>(&data));
    for (size_t k = 0; k < items.size(); ++k) data[k] = SysAllocString(items[k]);
    SafeArrayUnaccessData(psa);
    out->vt = VT_ARRAY | VT_BSTR;
    out->parray = psa;
}

std::vector<std::wstring> Strings(const VARIANT& v) {
    std::vector<std::wstring> out;
    if (v.vt != (VT_ARRAY | VT_BSTR) || !v.parray) return out;
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(v.parray, 1, &lower);
    SafeArrayGetUBound(v.parray, 1, &upper);
    for (LONG k = lower; k <= upper; ++k) {
        BSTR s = nullptr;
        SafeArrayGetElement(v.parray, &k, &s);
        out.emplace_back(s ? s : L"");
        SysFreeString(s);
    }
    return out;
}

void PrintValues(const char* label, const std::vector<double>& values) {
    std::printf("  %-28s", label);
    for (double d : values) std::printf(" %.6g", d);
    std::printf("\n");
}

}  // namespace

FlashDrum::FlashDrum(ICapeThermoMaterialObject* feed) : feed_(feed) { feed_->AddRef(); }

FlashDrum::~FlashDrum() {
    if (outlet_) outlet_->Release();
    feed_->Release();
}

bool FlashDrum::Ok(HRESULT hr, const char* what) {
    if (SUCCEEDED(hr)) return true;
    std::wstring detail;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        BSTR description = nullptr;
        info->GetDescription(&description);
        detail = description ? description : L"";
        SysFreeString(description);
        info->Release();
    }
    std::fprintf(stderr, "%s failed: 0x%08lX %ls\n", what, static_cast<unsigned long>(hr),
                 detail.c_str());
    return false;
}

bool FlashDrum::Calculate(double temperature, double pressure,
                          const std::vector<double>& moleFractions) {
    // What is in the feed?
    Var ids;
    if (!Ok(feed_->get_ComponentIds(&ids.v), "ComponentIds")) return false;
    LONG count = 0;
    if (!Ok(feed_->GetNumComponents(&count), "GetNumComponents")) return false;
    std::printf("Unit: the feed holds %ld components:", count);
    for (const auto& id : Strings(ids.v)) std::printf(" %ls", id.c_str());
    std::printf("\n");

    Var props, weights;
    MakeStrings(&props.v, {L"molecularWeight"});
    Var all;  // Empty: every component
    if (!Ok(feed_->GetComponentConstant(props.v, all.v, &weights.v), "GetComponentConstant")) {
        return false;
    }
    PrintValues("molecular weights:", Doubles(weights.v));

    // Specify the feed: temperature and pressure for the whole mixture (no
    // identifiers, one value), the composition one value per component.
    Text overall(L"overall"), mixture(L"Mixture"), mole(L"mole");
    struct FeedValue {
        const wchar_t* property;
        std::vector<double> values;
        bool perComponent;
    };
    const FeedValue feedValues[] = {
        {L"temperature", {temperature}, false},
        {L"pressure", {pressure}, false},
        {L"fraction", moleFractions, true},
    };
    for (const auto& given : feedValues) {
        Var values;
        cape_open::PutDoubles(given.values, &values.v);
        Text property(given.property);
        const VARIANT& compIds = given.perComponent ? ids.v : all.v;
        if (!Ok(feed_->SetProp(property, overall, compIds, mixture, mole, values.v), "SetProp")) {
            return false;
        }
    }

    // Flash it and read the results back.
    Text flashType(L"TP");
    Var noProps;
    if (!Ok(feed_->CalcEquilibrium(flashType, noProps.v), "CalcEquilibrium")) return false;
    std::printf("Unit: results after CalcEquilibrium\n");
    for (const wchar_t* property : {L"temperature", L"pressure", L"phasefraction", L"fraction"}) {
        for (const wchar_t* phase : {L"vapor", L"liquid"}) {
            Var result;
            Text p(property), ph(phase);
            if (!Ok(feed_->GetProp(p, ph, all.v, mixture, mole, &result.v), "GetProp")) {
                return false;
            }
            char label[64];
            std::snprintf(label, sizeof label, "%ls of %ls:", property, phase);
            PrintValues(label, Doubles(result.v));
        }
    }

    // The outlet: a copy of the feed's material.
    if (!Ok(feed_->Duplicate(&outlet_), "Duplicate")) return false;
    std::printf("Unit: outlet %s\n", outlet_ ? "created by Duplicate" : "missing");
    return outlet_ != nullptr;
}

}  // namespace korvid::sample
