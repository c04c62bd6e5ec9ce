// The pass-through of a CAPE-OPEN 1.1 material: each 1.1 interface the inner
// object answers is forwarded and recorded; its error interfaces are
// forwarded unrecorded, for the unit to read a failure's details.
#include "KorvidThermo11_h.h"
#include "Korvid_h.h"
#include "tools/validate/pass_through_core.h"

namespace korvid::validate::pass {

namespace {

// The texts of a list argument (texts or variants holding texts), each
// first element only when `firstOnly`: what the record shows of phase
// labels and flash specifications.
std::wstring Texts(const VARIANT& list, bool firstOnly = false) {
    const VARIANT& value =
        list.vt == (VT_VARIANT | VT_BYREF) && list.pvarVal ? *list.pvarVal : list;
    if (!(value.vt & VT_ARRAY) || !value.parray || SafeArrayGetDim(value.parray) != 1) return {};
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(value.parray, 1, &lower);
    SafeArrayGetUBound(value.parray, 1, &upper);
    std::wstring text;
    for (LONG k = lower; k <= upper && !(firstOnly && k > lower); ++k) {
        VARIANT element;
        VariantInit(&element);
        if ((value.vt & VT_TYPEMASK) == VT_BSTR) {
            element.vt = VT_BSTR;
            SafeArrayGetElement(value.parray, &k, &element.bstrVal);
        } else if ((value.vt & VT_TYPEMASK) == VT_VARIANT) {
            SafeArrayGetElement(value.parray, &k, &element);
        }
        if (element.vt == VT_BSTR) text += (text.empty() ? L"" : L" ") + Text(element.bstrVal);
        VariantClear(&element);
    }
    return text;
}

class Thermo final : public Facet<ICapeThermoMaterial> {
public:
    using Facet::Facet;
    KORVID_FORWARD(ClearAllProps, L"", (), ())
    // The source goes to the inner object as the object it stands for.
    HRESULT STDMETHODCALLTYPE CopyFromMaterial(IDispatch** source) override {
        const std::pair<IDispatch*, std::wstring> unwrapped =
            outer_->Unwrap(source ? *source : nullptr);
        IDispatch* given = unwrapped.first;
        return outer_->Call(L"CopyFromMaterial", unwrapped.second,
                            [&] { return inner_->CopyFromMaterial(source ? &given : nullptr); });
    }
    HRESULT STDMETHODCALLTYPE CreateMaterial(IDispatch** made) override {
        return outer_->Clone(L"CreateMaterial", made,
                             [&](IDispatch** out) { return inner_->CreateMaterial(out); });
    }
    KORVID_FORWARD(GetOverallProp, property, (BSTR property, BSTR basis, VARIANT* results),
                   (property, basis, results))
    KORVID_FORWARD(GetOverallTPFraction, L"", (double* t, double* p, VARIANT* x), (t, p, x))
    KORVID_FORWARD(GetPresentPhases, L"", (VARIANT * labels, VARIANT* status), (labels, status))
    KORVID_FORWARD(GetSinglePhaseProp, property,
                   (BSTR property, BSTR phase, BSTR basis, VARIANT* results),
                   (property, phase, basis, results))
    KORVID_FORWARD(GetTPFraction, phase, (BSTR phase, double* t, double* p, VARIANT* x),
                   (phase, t, p, x))
    KORVID_FORWARD(GetTwoPhaseProp, property,
                   (BSTR property, VARIANT phases, BSTR basis, VARIANT* results),
                   (property, phases, basis, results))
    KORVID_FORWARD(SetOverallProp, property, (BSTR property, BSTR basis, VARIANT values),
                   (property, basis, values))
    KORVID_FORWARD(SetPresentPhases, Texts(labels), (VARIANT labels, VARIANT status),
                   (labels, status))
    KORVID_FORWARD(SetSinglePhaseProp, property,
                   (BSTR property, BSTR phase, BSTR basis, VARIANT values),
                   (property, phase, basis, values))
    KORVID_FORWARD(SetTwoPhaseProp, property,
                   (BSTR property, VARIANT phases, BSTR basis, VARIANT values),
                   (property, phases, basis, values))
};

class Compounds final : public Facet<ICapeThermoCompounds> {
public:
    using Facet::Facet;
    KORVID_FORWARD(GetCompoundConstant, L"", (VARIANT props, VARIANT ids, VARIANT* values),
                   (props, ids, values))
    KORVID_FORWARD(GetCompoundList, L"",
                   (VARIANT * ids, VARIANT* formulae, VARIANT* names, VARIANT* boil,
                    VARIANT* weights, VARIANT* cas),
                   (ids, formulae, names, boil, weights, cas))
    KORVID_FORWARD(GetConstPropList, L"", (VARIANT * props), (props))
    KORVID_FORWARD(GetNumCompounds, L"", (LONG * count), (count))
    KORVID_FORWARD(GetPDependentProperty, L"",
                   (VARIANT props, double pressure, VARIANT ids, VARIANT* values),
                   (props, pressure, ids, values))
    KORVID_FORWARD(GetPDependentPropList, L"", (VARIANT * props), (props))
    KORVID_FORWARD(GetTDependentProperty, L"",
                   (VARIANT props, double temperature, VARIANT ids, VARIANT* values),
                   (props, temperature, ids, values))
    KORVID_FORWARD(GetTDependentPropList, L"", (VARIANT * props), (props))
};

class Phases final : public Facet<ICapeThermoPhases> {
public:
    using Facet::Facet;
    KORVID_FORWARD(GetNumPhases, L"", (LONG * count), (count))
    KORVID_FORWARD(GetPhaseInfo, phase, (BSTR phase, BSTR attribute, VARIANT* value),
                   (phase, attribute, value))
    KORVID_FORWARD(GetPhaseList, L"", (VARIANT * labels, VARIANT* states, VARIANT* keys),
                   (labels, states, keys))
};

class Constants final : public Facet<ICapeThermoUniversalConstant> {
public:
    using Facet::Facet;
    KORVID_FORWARD(GetUniversalConstant, id, (BSTR id, VARIANT* value), (id, value))
    KORVID_FORWARD(GetUniversalConstantList, L"", (VARIANT * ids), (ids))
};

class PropertyRoutine final : public Facet<ICapeThermoPropertyRoutine> {
public:
    using Facet::Facet;
    KORVID_FORWARD(CalcAndGetLnPhi, phase,
                   (BSTR phase, double t, double p, VARIANT moles, int flags, VARIANT* lnPhi,
                    VARIANT* dT, VARIANT* dP, VARIANT* dn),
                   (phase, t, p, moles, flags, lnPhi, dT, dP, dn))
    KORVID_FORWARD(CalcSinglePhaseProp, Texts(props), (VARIANT props, BSTR phase), (props, phase))
    KORVID_FORWARD(CalcTwoPhaseProp, Texts(props), (VARIANT props, VARIANT phases), (props, phases))
    KORVID_FORWARD(CheckSinglePhasePropSpec, property,
                   (BSTR property, BSTR phase, VARIANT_BOOL* valid), (property, phase, valid))
    KORVID_FORWARD(CheckTwoPhasePropSpec, property,
                   (BSTR property, VARIANT phases, VARIANT_BOOL* valid), (property, phases, valid))
    KORVID_FORWARD(GetSinglePhasePropList, L"", (VARIANT * props), (props))
    KORVID_FORWARD(GetTwoPhasePropList, L"", (VARIANT * props), (props))
};

class EquilibriumRoutine final : public Facet<ICapeThermoEquilibriumRoutine> {
public:
    using Facet::Facet;
    // Recorded with the properties the two specifications fix.
    KORVID_FORWARD(CalcEquilibrium, Texts(first, true) + L" " + Texts(second, true),
                   (VARIANT first, VARIANT second, BSTR solution), (first, second, solution))
    KORVID_FORWARD(CheckEquilibriumSpec, L"",
                   (VARIANT first, VARIANT second, BSTR solution, VARIANT_BOOL* supported),
                   (first, second, solution, supported))
};

// The error interfaces: read as they are, not recorded.
#define KORVID_READ(name, type)                                     \
    HRESULT STDMETHODCALLTYPE name(type* value) override {          \
        return inner_ ? inner_->name(value) : CO_E_OBJNOTCONNECTED; \
    }

class Root final : public Facet<ECapeRoot, false> {
public:
    using Facet::Facet;
    KORVID_READ(get_name, BSTR)
};

class User final : public Facet<ECapeUser, false> {
public:
    using Facet::Facet;
    KORVID_READ(get_code, LONG)
    KORVID_READ(get_description, BSTR)
    KORVID_READ(get_scope, BSTR)
    KORVID_READ(get_interfaceName, BSTR)
    KORVID_READ(get_operation, BSTR)
    KORVID_READ(get_moreInfo, BSTR)
};

class BadArgument final : public Facet<ECapeBadArgument, false> {
public:
    using Facet::Facet;
    KORVID_READ(get_position, short)
};

class BadInvOrder final : public Facet<ECapeBadInvOrder, false> {
public:
    using Facet::Facet;
    KORVID_READ(get_requestedOperation, BSTR)
};

#undef KORVID_READ

template <typename I>
bool Optional(PassThrough& made, IUnknown* inner) {
    return AddFacet<Facet<I, false>, I>(made, inner, false);
}

// ICapeThermoMaterial makes a 1.1 material; every other interface is
// answered when the inner object answers it.
bool Build11(PassThrough& made, IUnknown* inner) {
    return AddFacet<Facet<IDispatch>, IDispatch>(made, inner, true) &&
           AddFacet<Thermo, ICapeThermoMaterial>(made, inner, true) &&
           AddIdentification(made, inner, false) &&
           AddFacet<Compounds, ICapeThermoCompounds>(made, inner, false) &&
           AddFacet<Phases, ICapeThermoPhases>(made, inner, false) &&
           AddFacet<Constants, ICapeThermoUniversalConstant>(made, inner, false) &&
           AddFacet<PropertyRoutine, ICapeThermoPropertyRoutine>(made, inner, false) &&
           AddFacet<EquilibriumRoutine, ICapeThermoEquilibriumRoutine>(made, inner, false) &&
           AddFacet<Root, ECapeRoot>(made, inner, false) &&
           AddFacet<User, ECapeUser>(made, inner, false) &&
           AddFacet<BadArgument, ECapeBadArgument>(made, inner, false) &&
           AddFacet<BadInvOrder, ECapeBadInvOrder>(made, inner, false) &&
           Optional<ECapeUnknown>(made, inner) && Optional<ECapeData>(made, inner) &&
           Optional<ECapeInvalidArgument>(made, inner) &&
           Optional<ECapeImplementation>(made, inner) && Optional<ECapeNoImpl>(made, inner) &&
           Optional<ECapeLimitedImpl>(made, inner) && Optional<ECapeNoMemory>(made, inner) &&
           Optional<ECapeFailedInitialisation>(made, inner) &&
           Optional<ECapeThrmPropertyNotAvailable>(made, inner);
}

}  // namespace

}  // namespace korvid::validate::pass

namespace korvid::validate {

IDispatch* WrapMaterial11(IUnknown* inner, ObjectRecord& record, CallRecord& all) {
    return pass::Wrap(inner, record, all, pass::Build11, 0);
}

}  // namespace korvid::validate
