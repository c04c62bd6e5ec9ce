#include "tools/validate/host_material.h"

#include "KorvidThermo11_h.h"
#include "Korvid_h.h"
#include "tools/cape_open/com_values.h"
#include "tools/validate/com_values.h"

namespace korvid::validate {

namespace {

// The interface `I` of `object` for one call.
template <typename I, typename Call>
HRESULT Through(IUnknown* object, Call&& call) {
    I* face = nullptr;
    const HRESULT found = object->QueryInterface(IID_PPV_ARGS(&face));
    if (FAILED(found)) return found;
    const HRESULT hr = call(face);
    face->Release();
    return hr;
}

// 0.9 reads and writes overall values as a "Mixture"; 1.1 has no calcType
// and spells the basis "Mole".
struct Texts {
    BSTR property, basis, overall, mixture;
    Texts(const wchar_t* name, const wchar_t* basisName, bool v11)
        : property(SysAllocString(name)),
          basis(SysAllocString(v11 && *basisName ? L"Mole" : basisName)),
          overall(SysAllocString(L"overall")),
          mixture(SysAllocString(L"Mixture")) {}
    ~Texts() {
        for (BSTR text : {property, basis, overall, mixture}) SysFreeString(text);
    }
    Texts(const Texts&) = delete;
    Texts& operator=(const Texts&) = delete;
};

}  // namespace

HRESULT Thermo::Count(IUnknown* object, LONG* count) const {
    if (v11)
        return Through<ICapeThermoCompounds>(object,
                                             [&](auto* o) { return o->GetNumCompounds(count); });
    return Through<ICapeThermoMaterialObject>(object,
                                              [&](auto* o) { return o->GetNumComponents(count); });
}

HRESULT Thermo::Set(IUnknown* object, const wchar_t* property, const wchar_t* basis,
                    const std::vector<double>& values) const {
    Texts texts(property, basis, v11);
    VARIANT all, array;
    VariantInit(&all);
    VariantInit(&array);
    cape_open::PutDoubles(values, &array);
    const HRESULT hr =
        v11 ? Through<ICapeThermoMaterial>(
                  object,
                  [&](auto* o) { return o->SetOverallProp(texts.property, texts.basis, array); })
            : Through<ICapeThermoMaterialObject>(object, [&](auto* o) {
                  return o->SetProp(texts.property, texts.overall, all, texts.mixture, texts.basis,
                                    array);
              });
    VariantClear(&array);
    return hr;
}

HRESULT Thermo::Get(IUnknown* object, const wchar_t* property, const wchar_t* basis,
                    std::vector<double>* values) const {
    Texts texts(property, basis, v11);
    VARIANT all, result;
    VariantInit(&all);
    VariantInit(&result);
    const HRESULT hr =
        v11 ? Through<ICapeThermoMaterial>(
                  object,
                  [&](auto* o) { return o->GetOverallProp(texts.property, texts.basis, &result); })
            : Through<ICapeThermoMaterialObject>(object, [&](auto* o) {
                  return o->GetProp(texts.property, texts.overall, all, texts.mixture, texts.basis,
                                    &result);
              });
    *values = cape_open::Doubles(result);
    VariantClear(&result);
    return hr;
}

HRESULT Thermo::PresentAllPhases(IUnknown* object, std::vector<std::wstring>* labels) const {
    cape_open::Var listed, states, keys, statuses;
    HRESULT hr = Through<ICapeThermoPhases>(
        object, [&](auto* o) { return o->GetPhaseList(&listed.v, &states.v, &keys.v); });
    if (FAILED(hr)) return hr;
    *labels = cape_open::Texts(listed.v).value_or(std::vector<std::wstring>{});
    statuses.v.parray = SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(labels->size()));
    if (!statuses.v.parray) return E_OUTOFMEMORY;
    statuses.v.vt = VT_ARRAY | VT_I4;
    for (LONG k = 0; k < static_cast<LONG>(labels->size()); ++k) {
        LONG unknown = CAPE_UNKNOWNPHASESTATUS;
        SafeArrayPutElement(statuses.v.parray, &k, &unknown);
    }
    return Through<ICapeThermoMaterial>(
        object, [&](auto* o) { return o->SetPresentPhases(listed.v, statuses.v); });
}

HRESULT Thermo::FlashTP(IUnknown* object) const {
    cape_open::Var temperature, pressure;
    cape_open::PutTexts({L"temperature", L"", L"Overall"}, &temperature.v);
    cape_open::PutTexts({L"pressure", L"", L"Overall"}, &pressure.v);
    const cape_open::Text unspecified(L"Unspecified");
    return Through<ICapeThermoEquilibriumRoutine>(object, [&](auto* o) {
        return o->CalcEquilibrium(temperature.v, pressure.v, unspecified);
    });
}

bool Thermo::NeverSet(HRESULT hr) const {
    return v11 && hr == static_cast<HRESULT>(ECapeThrmPropertyNotAvailableHR);
}

IDispatch* Thermo::Wrap(IUnknown* object, ObjectRecord& record, CallRecord& all) const {
    return v11 ? WrapMaterial11(object, record, all) : WrapMaterialObject(object, record, all);
}

}  // namespace korvid::validate
