#include "tools/sample_unit/material.h"

#include <cwchar>

#include "tools/sample_unit/cape_object.h"

namespace korvid::sample_unit {

void Material::Check(HRESULT hr, const std::wstring& call) const {
    if (SUCCEEDED(hr)) return;
    std::wstring detail;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        BSTR description = nullptr;
        if (SUCCEEDED(info->GetDescription(&description)) && description) detail = description;
        SysFreeString(description);
        info->Release();
    }
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    Fail(CapeErrorKind::Unknown, call + L" on the material object of port " + port_ + L" failed (" +
                                     code + L")" + (detail.empty() ? L"." : L": " + detail));
}

void Material::Refuse(const std::wstring& call, const std::wstring& why) const {
    Fail(CapeErrorKind::Unknown, call + L" on the material object of port " + port_ + L" " + why);
}

void Material::CheckFractions(const FeedState& feed, long count, const wchar_t* what) {
    if (feed.fractions.size() == static_cast<size_t>(count)) return;
    Fail(CapeErrorKind::Unknown, L"The feed holds " + std::to_wstring(count) + L" " + what +
                                     L" but answers " + std::to_wstring(feed.fractions.size()) +
                                     L" fractions.");
}

bool Numbers(const VARIANT& value, std::vector<double>* numbers) {
    SAFEARRAY* array = (value.vt & VT_ARRAY) ? value.parray : nullptr;
    LONG lower = 0, upper = -1;
    if (!array || SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, 1, &upper)))
        return false;
    VARTYPE type = VT_EMPTY;
    SafeArrayGetVartype(array, &type);
    for (LONG k = lower; k <= upper; ++k) {
        Var element;
        if (type == VT_VARIANT) {
            SafeArrayGetElement(array, &k, &element.v);
        } else if (type == VT_R8) {
            element.v.vt = VT_R8;
            SafeArrayGetElement(array, &k, &element.v.dblVal);
        }
        if (FAILED(VariantChangeType(&element.v, &element.v, 0, VT_R8))) return false;
        numbers->push_back(element.v.dblVal);
    }
    return true;
}

namespace {

// CAPE-OPEN 0.9: GetProp and SetProp of overall values, calcType "Mixture".
class Material09Calls final : public Material {
public:
    Material09Calls(ICapeThermoMaterialObject* object, std::wstring port, bool literalText)
        : Material(std::move(port), literalText), object_(object) {}

    FeedState Read() override {
        long count = 0;
        Check(object_->GetNumComponents(&count), L"GetNumComponents");
        FeedState feed;
        feed.totalFlow = First(Get(L"totalFlow", L"mole"), L"totalFlow");
        feed.pressure = First(Get(L"pressure", L""), L"pressure");
        feed.fractions = Get(L"fraction", L"mole");
        CheckFractions(feed, count, L"components");
        return feed;
    }

    void Set(const wchar_t* property, const wchar_t* basis,
             const std::vector<double>& values) override {
        Text name(property), phase(L"overall"), calcType(L"Mixture"), basisText(basis);
        Var all, list;
        cape_open::PutDoubles(values, &list.v);
        Check(object_->SetProp(name, phase, all.v, calcType, basisText, list.v),
              std::wstring(L"SetProp ") + property);
    }

    void SetFlows(const std::vector<double>& flows) override {
        Var ids;
        Check(object_->get_ComponentIds(&ids.v), L"ComponentIds");
        LONG lower = 0, upper = -1;
        if (ids.v.vt != (VT_ARRAY | VT_BSTR) || SafeArrayGetDim(ids.v.parray) != 1 ||
            FAILED(SafeArrayGetLBound(ids.v.parray, 1, &lower)) ||
            FAILED(SafeArrayGetUBound(ids.v.parray, 1, &upper)) ||
            upper - lower + 1 != static_cast<LONG>(flows.size()))
            Refuse(L"ComponentIds", L"answered no text per component.");
        Text name(L"flow"), phase(L"overall"), calcType(L"Mixture"), basis(L"mole");
        for (LONG k = 0; k < static_cast<LONG>(flows.size()); ++k) {
            LONG at = lower + k;
            BSTR element = nullptr;
            SafeArrayGetElement(ids.v.parray, &at, &element);
            const std::wstring id(element ? element : L"", SysStringLen(element));
            SysFreeString(element);
            Var one, value;
            cape_open::PutTexts({id.c_str()}, &one.v);
            cape_open::PutDoubles({flows[static_cast<size_t>(k)]}, &value.v);
            Check(object_->SetProp(name, phase, one.v, calcType, basis, value.v), L"SetProp flow");
        }
    }

    void Settle(const wchar_t*, bool careless) override {
        if (careless) Try(L"vapourFraction");
    }

    HRESULT Try(const wchar_t* property) override {
        Text name(property), phase(L"overall"), calcType(L"Mixture"), basis(L"");
        Var all, result;
        return object_->GetProp(name, phase, all.v, calcType, basis, &result.v);
    }

    // foreign-ids asks for the fraction of a component the object does not
    // hold; wild-pointer has the component count written to address 0x10.
    void MisbehaveOnFeed(Fault fault) override {
        if (fault == Fault::WildPointer) object_->GetNumComponents(WildPointer());
        if (fault != Fault::ForeignIds) return;
        Text name(L"fraction"), phase(L"overall"), calcType(L"Mixture"), basis(L"mole");
        Var ids, result;
        ids.v.vt = VT_ARRAY | VT_BSTR;
        ids.v.parray = SafeArrayCreateVector(VT_BSTR, 0, 1);
        LONG first = 0;
        if (ids.v.parray) SafeArrayPutElement(ids.v.parray, &first, Text(L"no-such-component"));
        Check(object_->GetProp(name, phase, ids.v, calcType, basis, &result.v),
              L"GetProp fraction");
    }

private:
    std::vector<double> Get(const wchar_t* property, const wchar_t* basis) {
        Text name(property), phase(L"overall"), calcType(L"Mixture"), basisText(basis);
        Var all, result;  // Empty compIds: every component
        const std::wstring call = std::wstring(L"GetProp ") + property;
        Check(object_->GetProp(Arg(name, property), phase, all.v, calcType, basisText, &result.v),
              call);
        std::vector<double> values;
        const SAFEARRAY* array = (result.v.vt & VT_ARRAY) ? result.v.parray : nullptr;
        if (!array || SafeArrayGetDim(result.v.parray) != 1)
            Refuse(call, L"answered no list of numbers.");
        if (!Numbers(result.v, &values)) Refuse(call, L"answered an element that is no number.");
        return values;
    }

    // The first value of a property that has one.
    static double First(const std::vector<double>& values, const wchar_t* property) {
        if (values.empty()) {
            Fail(CapeErrorKind::Unknown,
                 std::wstring(L"GetProp ") + property + L" of the feed answered no value.");
        }
        return values.front();
    }

    ICapeThermoMaterialObject* object_;
};

}  // namespace

std::unique_ptr<Material> Material09(ICapeThermoMaterialObject* object, std::wstring port,
                                     bool literalText) {
    return std::make_unique<Material09Calls>(object, std::move(port), literalText);
}

}  // namespace korvid::sample_unit
