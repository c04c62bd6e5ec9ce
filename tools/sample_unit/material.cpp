#include "tools/sample_unit/material.h"

#include <cwchar>

#include "tools/sample_unit/cape_object.h"

namespace korvid::sample_unit {

namespace {

// A BSTR that frees itself.
class Text {
public:
    explicit Text(const wchar_t* text) : s_(SysAllocString(text)) {
        if (!s_) throw std::bad_alloc();
    }
    ~Text() { SysFreeString(s_); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    operator BSTR() const { return s_; }

private:
    BSTR s_;
};

// A VARIANT that clears itself.
struct Var {
    VARIANT v;
    Var() { VariantInit(&v); }
    ~Var() { VariantClear(&v); }
    Var(const Var&) = delete;
    Var& operator=(const Var&) = delete;
};

}  // namespace

void Material::Check(HRESULT hr, const std::wstring& call) {
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
    Fail(CapeErrorKind::Unknown, call + L" on the material object of port " + port_ +
                                     L" failed (" + code + L")" +
                                     (detail.empty() ? L"." : L": " + detail));
}

long Material::NumComponents() {
    long count = 0;
    Check(object_->GetNumComponents(&count), L"GetNumComponents");
    return count;
}

std::vector<double> Material::Get(const wchar_t* property, const wchar_t* basis) {
    Text name(property), phase(L"overall"), calcType(L"Mixture"), basisText(basis);
    Var all, result;  // Empty compIds: every component
    Check(object_->GetProp(name, phase, all.v, calcType, basisText, &result.v),
          std::wstring(L"GetProp ") + property);
    std::vector<double> values;
    SAFEARRAY* array = (result.v.vt & VT_ARRAY) ? result.v.parray : nullptr;
    LONG lower = 0, upper = -1;
    if (!array || SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, 1, &upper))) {
        Fail(CapeErrorKind::Unknown, std::wstring(L"GetProp ") + property +
                                         L" on the material object of port " + port_ +
                                         L" answered no list of numbers.");
    }
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
        if (FAILED(VariantChangeType(&element.v, &element.v, 0, VT_R8))) {
            Fail(CapeErrorKind::Unknown, std::wstring(L"GetProp ") + property +
                                             L" on the material object of port " + port_ +
                                             L" answered an element that is no number.");
        }
        values.push_back(element.v.dblVal);
    }
    return values;
}

void Material::Set(const wchar_t* property, const wchar_t* basis,
                   const std::vector<double>& values) {
    Text name(property), phase(L"overall"), calcType(L"Mixture"), basisText(basis);
    Var all, list;
    SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(values.size()));
    if (!array) throw std::bad_alloc();
    double* data = nullptr;
    SafeArrayAccessData(array, reinterpret_cast<void**>(&data));
    for (size_t k = 0; k < values.size(); ++k) data[k] = values[k];
    SafeArrayUnaccessData(array);
    list.v.vt = VT_ARRAY | VT_R8;
    list.v.parray = array;
    Check(object_->SetProp(name, phase, all.v, calcType, basisText, list.v),
          std::wstring(L"SetProp ") + property);
}

}  // namespace korvid::sample_unit
