#include "tools/sample_unit/real_parameter.h"

#include <cwchar>

#include "tools/cape_open/com_values.h"

namespace korvid::sample_unit {

namespace {

std::wstring Number(double value) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%.15g", value);
    return text;
}

VARIANT_BOOL Bool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// An [in, out] message: the argument must be there.
void NeedMessage(BSTR* message) {
    if (!message) Fail(CapeErrorKind::InvalidArgument, L"Validate was given no message argument.");
}

}  // namespace

RealParameter* RealParameter::Create(const RealSpec& spec, std::shared_ptr<DrumState> state) {
    return new RealParameter(spec, std::move(state));
}

RealParameter::RealParameter(const RealSpec& spec, std::shared_ptr<DrumState> state)
    : CapeObject(spec.name, spec.description, L"Korvid::SampleFlashDrum::Parameter"),
      spec_(spec),
      state_(std::move(state)),
      value_(spec.defaultValue) {}

IUnknown* RealParameter::Find(REFIID iid) {
    if (IsEqualIID(iid, IID_ICapeParameter)) return &parameter_;
    if (IsEqualIID(iid, IID_ICapeParameterSpec)) return &specPart_;
    if (IsEqualIID(iid, IID_ICapeRealParameterSpec)) return &realSpec_;
    return nullptr;
}

void RealParameter::SetValue(double value) {
    value_ = value;
    status_ = CAPE_NOT_VALIDATED;
    ++state_->changes;
}

bool RealParameter::Check(double value, std::wstring* message) const {
    const wchar_t* side = nullptr;
    double bound = 0;
    if (!(value >= spec_.lower)) {  // NaN too
        side = L"below the lower";
        bound = spec_.lower;
    } else if (!(value <= spec_.upper)) {
        side = L"above the upper";
        bound = spec_.upper;
    }
    if (!side || state_->fault == Fault::UncheckedParameter) return true;
    *message = L"Parameter " + Name() + L": " + Number(value) + L" is " + side + L" bound " +
               Number(bound) + L".";
    return false;
}

bool RealParameter::Validate(std::wstring* message) {
    const bool valid = Check(value_, message);
    status_ = valid ? CAPE_VALID : CAPE_INVALID;
    return valid;
}

// --- ICapeParameter ------------------------------------------------------------------

HRESULT RealParameter::Parameter::get_Specification(IDispatch** typeAndBounds) {
    return Out(L"get_Specification", typeAndBounds, [&]() -> IDispatch* {
        Self().specPart_.AddRef();
        return &Self().specPart_;
    });
}

HRESULT RealParameter::Parameter::get_value(VARIANT* value) {
    if (!value) return E_POINTER;
    VariantInit(value);
    return Run(L"get_value", [&] {
        value->vt = VT_R8;
        value->dblVal = Self().value_;
    });
}

HRESULT RealParameter::Parameter::put_value(VARIANT value) {
    return Run(L"put_value", [&] {
        VARIANT number;
        VariantInit(&number);
        if (FAILED(VariantChangeType(&number, &value, 0, VT_R8))) {
            Fail(CapeErrorKind::InvalidArgument,
                 L"Parameter " + Self().Name() + L" takes a real value.");
        }
        Self().SetValue(number.dblVal);
    });
}

HRESULT RealParameter::Parameter::get_ValStatus(CapeValidationStatus* status) {
    return Out(L"get_ValStatus", status, [&] { return Self().status_; });
}

HRESULT RealParameter::Parameter::get_Mode(CapeParamMode* mode) {
    return Out(L"get_Mode", mode, [] { return CAPE_INPUT; });
}

HRESULT RealParameter::Parameter::put_Mode(CapeParamMode mode) {
    return Run(L"put_Mode", [&] {
        if (mode != CAPE_INPUT) {
            Fail(CapeErrorKind::InvalidArgument,
                 L"Parameter " + Self().Name() + L" is an input: its mode stays CAPE_INPUT.");
        }
    });
}

HRESULT RealParameter::Parameter::Validate(BSTR* message, VARIANT_BOOL* isOK) {
    return Out(L"Validate", isOK, [&] {
        NeedMessage(message);
        std::wstring why;
        const bool valid = Self().Validate(&why);
        SetText(message, why);
        return Bool(valid);
    });
}

HRESULT RealParameter::Parameter::Reset() {
    return Run(L"Reset", [&] { Self().SetValue(Self().spec_.defaultValue); });
}

// --- ICapeParameterSpec, ICapeRealParameterSpec ------------------------------------------

HRESULT RealParameter::Spec::get_Type(CapeParamType* type) {
    return Out(L"get_Type", type, [] { return CAPE_REAL; });
}

HRESULT RealParameter::Spec::get_Dimensionality(VARIANT* dims) {
    if (!dims) return E_POINTER;
    VariantInit(dims);
    return Run(L"get_Dimensionality", [&] {
        const auto& exponents = Self().spec_.dimensionality;
        cape_open::PutDoubles(exponents.data(), exponents.size(), dims);
    });
}

HRESULT RealParameter::RealSpecPart::get_DefaultValue(double* value) {
    return Out(L"get_DefaultValue", value, [&] {
        const RealSpec& spec = Self().spec_;
        const bool bad = Self().state_->fault == Fault::BadDefault;
        return spec.defaultValue + (bad ? spec.upper - spec.lower : 0);
    });
}

HRESULT RealParameter::RealSpecPart::get_LowerBound(double* value) {
    return Out(L"get_LowerBound", value, [&] { return Self().spec_.lower; });
}

HRESULT RealParameter::RealSpecPart::get_UpperBound(double* value) {
    return Out(L"get_UpperBound", value, [&] { return Self().spec_.upper; });
}

HRESULT RealParameter::RealSpecPart::Validate(double value, BSTR* message, VARIANT_BOOL* isOK) {
    return Out(L"Validate", isOK, [&] {
        NeedMessage(message);
        std::wstring why;
        const bool valid = Self().Check(value, &why);
        SetText(message, why);
        return Bool(valid);
    });
}

}  // namespace korvid::sample_unit
