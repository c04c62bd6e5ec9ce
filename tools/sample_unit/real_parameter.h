// A real input parameter of the flash drum: ICapeParameter with its
// specification (ICapeParameterSpec, ICapeRealParameterSpec) on one object.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "tools/sample_unit/cape_object.h"
#include "tools/sample_unit/drum_state.h"

namespace korvid::sample_unit {

struct RealSpec {
    const wchar_t* name;
    const wchar_t* description;
    double defaultValue;
    double lower;
    double upper;
    // Exponents of the SI base units m, kg, s, A, K, mol, cd.
    std::array<double, 7> dimensionality;
};

class RealParameter final : public CapeObject {
public:
    // A new parameter at its default value, one reference held by the caller.
    static RealParameter* Create(const RealSpec& spec, std::shared_ptr<DrumState> state);

    IDispatch* Default() override { return &parameter_; }
    double Value() const { return value_; }
    void SetValue(double value);
    // Whether `value` lies within the bounds; why not in `message`.
    bool Check(double value, std::wstring* message) const;
    // Validates the current value and keeps the result as ValStatus.
    bool Validate(std::wstring* message);

private:
    class Parameter final : public Part<ICapeParameter> {
    public:
        explicit Parameter(RealParameter* owner) : Part(owner, L"ICapeParameter") {}
        HRESULT STDMETHODCALLTYPE get_Specification(IDispatch** typeAndBounds) override;
        HRESULT STDMETHODCALLTYPE get_value(VARIANT* value) override;
        HRESULT STDMETHODCALLTYPE put_value(VARIANT value) override;
        HRESULT STDMETHODCALLTYPE get_ValStatus(CapeValidationStatus* status) override;
        HRESULT STDMETHODCALLTYPE get_Mode(CapeParamMode* mode) override;
        HRESULT STDMETHODCALLTYPE put_Mode(CapeParamMode mode) override;
        HRESULT STDMETHODCALLTYPE Validate(BSTR* message, VARIANT_BOOL* isOK) override;
        HRESULT STDMETHODCALLTYPE Reset() override;

    private:
        RealParameter& Self() { return *static_cast<RealParameter*>(owner_); }
    };
    class Spec final : public Part<ICapeParameterSpec> {
    public:
        explicit Spec(RealParameter* owner) : Part(owner, L"ICapeParameterSpec") {}
        HRESULT STDMETHODCALLTYPE get_Type(CapeParamType* type) override;
        HRESULT STDMETHODCALLTYPE get_Dimensionality(VARIANT* dims) override;

    private:
        RealParameter& Self() { return *static_cast<RealParameter*>(owner_); }
    };
    class RealSpecPart final : public Part<ICapeRealParameterSpec> {
    public:
        explicit RealSpecPart(RealParameter* owner) : Part(owner, L"ICapeRealParameterSpec") {}
        HRESULT STDMETHODCALLTYPE get_DefaultValue(double* value) override;
        HRESULT STDMETHODCALLTYPE get_LowerBound(double* value) override;
        HRESULT STDMETHODCALLTYPE get_UpperBound(double* value) override;
        HRESULT STDMETHODCALLTYPE Validate(double value, BSTR* message, VARIANT_BOOL* isOK) override;

    private:
        RealParameter& Self() { return *static_cast<RealParameter*>(owner_); }
    };

    RealParameter(const RealSpec& spec, std::shared_ptr<DrumState> state);
    IUnknown* Find(REFIID iid) override;

    const RealSpec& spec_;
    std::shared_ptr<DrumState> state_;
    double value_;
    CapeValidationStatus status_ = CAPE_NOT_VALIDATED;
    Parameter parameter_{this};
    Spec specPart_{this};
    RealSpecPart realSpec_{this};
};

}  // namespace korvid::sample_unit
