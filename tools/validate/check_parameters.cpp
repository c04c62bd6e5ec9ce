// The check `parameters`: hosts list a unit's parameters (ICapeUtilities::
// parameters) with their specifications and values, let a person change the
// inputs, and read them all again after each solve. Printed: each
// parameter's name, description, mode, type, specification (a real one's
// default, bounds and dimensionality) and value. Findings:
// - bounds-inconsistent: a real lower bound above its upper bound, or a
//   default outside the bounds;
// - input-changed: an input parameter's value changed by Calculate;
// - parameter-unchecked: an input real parameter set just outside a bound,
//   and its own Validate or the unit's still says valid, or says invalid
//   without a message (the value is put back afterwards);
// - valstatus-stale: the unit's ValStatus still CAPE_VALID after a
//   parameter's value was put, or after a port was connected again.
// A unit whose parameters cannot be read, or that has none, does not offer
// what the check needs.
#include <cmath>
#include <limits>

#include "tools/cape_open/com_values.h"
#include "tools/validate/com_values.h"
#include "tools/validate/output.h"
#include "tools/validate/session.h"

namespace korvid::validate {

namespace {

std::wstring ModeName(long mode) {
    return Enumerated(mode, {L"CAPE_INPUT", L"CAPE_OUTPUT", L"CAPE_INPUT_OUTPUT"});
}

std::wstring TypeName(long type) {
    return Enumerated(type,
                      {L"CAPE_REAL", L"CAPE_INT", L"CAPE_OPTION", L"CAPE_BOOLEAN", L"CAPE_ARRAY"});
}

// A value just outside one of the bounds, and which: above the upper bound
// where it is finite, else below the lower one; none when neither is. One
// hundredth of the range (or of the bound) beyond it, so that no unit's
// tolerance takes it for the bound itself.
bool JustOutside(const UnitParameter& p, double* value, std::wstring* which) {
    const bool hasUpper = std::isfinite(p.upper), hasLower = std::isfinite(p.lower);
    if (!hasUpper && !hasLower) return false;
    const double range = hasUpper && hasLower && p.upper > p.lower ? p.upper - p.lower : 0;
    const double bound = hasUpper ? p.upper : p.lower;
    const double step = range > 0 ? range / 100 : bound != 0 ? std::fabs(bound) / 100 : 0.01;
    *value = hasUpper ? bound + step : bound - step;
    *which = std::wstring(hasUpper ? L"above its upper bound " : L"below its lower bound ") +
             Number(bound);
    return true;
}

}  // namespace

std::vector<std::pair<std::wstring, std::wstring>> Session::ParameterValues() {
    std::vector<std::pair<std::wstring, std::wstring>> values;
    IDispatch* listed = nullptr;
    ICapeCollection* collection = nullptr;
    if (!utilities_ || FAILED(utilities_->get_parameters(&listed)) || !listed) return values;
    listed->QueryInterface(IID_PPV_ARGS(&collection));
    listed->Release();
    LONG count = 0;
    if (collection && SUCCEEDED(collection->Count(&count))) {
        for (LONG k = 1; k <= count; ++k) {
            VARIANT index;
            VariantInit(&index);
            index.vt = VT_I4;
            index.lVal = k;
            IDispatch* item = nullptr;
            ICapeIdentification* identification = nullptr;
            ICapeParameter* parameter = nullptr;
            BSTR name = nullptr;
            cape_open::Var value;
            if (SUCCEEDED(collection->Item(index, &item)) && item) {
                item->QueryInterface(IID_PPV_ARGS(&identification));
                item->QueryInterface(IID_PPV_ARGS(&parameter));
            }
            if (identification) identification->get_ComponentName(&name);
            const HRESULT hr = parameter ? parameter->get_value(&value.v) : E_NOINTERFACE;
            values.push_back({name ? std::wstring(name, SysStringLen(name)) : std::to_wstring(k),
                              SUCCEEDED(hr) ? VariantText(value.v) : Hex(hr)});
            SysFreeString(name);
            Drop(parameter);
            Drop(identification);
            Drop(item);
        }
    }
    Drop(collection);
    ClearErrorInfo();
    return values;
}

std::vector<UnitParameter> Session::ReadParameters(std::wstring* notOffered) {
    std::vector<UnitParameter> parameters;
    if (!utilities_) {
        *notOffered = L"the unit answers no ICapeUtilities";
        return parameters;
    }
    IDispatch* listed = nullptr;
    verdict_.SetCall(L"get parameters");
    ClearErrorInfo();
    const HRESULT got = utilities_->get_parameters(&listed);
    if (Declined(got) || (SUCCEEDED(got) && !listed)) {
        Line(L"get parameters: " + Outcome(got) + (listed ? L"" : L", no collection"));
        Drop(listed);
        ClearErrorInfo();
        *notOffered = L"the unit gives no parameter collection";
        return parameters;
    }
    if (FAILED(Report(L"get parameters", utilities_, __uuidof(ICapeUtilities), got, {}, L"unit"))) {
        Drop(listed);
        return parameters;
    }
    ICapeCollection* collection =
        AsCollection(listed, L"parameters: QueryInterface ICapeCollection");
    if (!collection) return parameters;
    LONG count = 0;
    Step(
        L"parameters.Count", collection, [&] { return collection->Count(&count); },
        [&] { return std::to_wstring(count); });
    for (LONG k = 1; k <= count; ++k) {
        UnitParameter p;
        IDispatch* item = ItemAt(collection, L"parameters", k);
        if (!item) continue;
        p.name = L"parameter " + std::to_wstring(k);
        ICapeIdentification* identification = nullptr;
        if (SUCCEEDED(item->QueryInterface(IID_PPV_ARGS(&identification)))) {
            BSTR text = nullptr;
            if (SUCCEEDED(Step(
                    p.name + L": get ComponentName", identification,
                    [&] { return identification->get_ComponentName(&text); },
                    [&] { return Quoted(text); })) &&
                text && *text)
                p.name = text;
            SysFreeString(text);
            text = nullptr;
            Step(
                p.name + L": get ComponentDescription", identification,
                [&] { return identification->get_ComponentDescription(&text); },
                [&] { return Quoted(text); });
            SysFreeString(text);
            identification->Release();
        }
        item->QueryInterface(IID_PPV_ARGS(&p.parameter));
        item->Release();
        if (!p.parameter) {
            Line(p.name + L": QueryInterface ICapeParameter: " + Outcome(E_NOINTERFACE));
            verdict_.Failure(p.name + L": QueryInterface ICapeParameter", Hex(E_NOINTERFACE));
            continue;
        }
        ICapeParameter* parameter = p.parameter;
        CapeParamMode mode = CAPE_INPUT;
        if (SUCCEEDED(Step(
                p.name + L": get Mode", parameter, [&] { return parameter->get_Mode(&mode); },
                [&] { return ModeName(mode); })))
            p.mode = mode;
        IDispatch* specification = nullptr;
        Step(p.name + L": get Specification", parameter,
             [&] { return parameter->get_Specification(&specification); });
        ICapeParameterSpec* spec = nullptr;
        if (specification) specification->QueryInterface(IID_PPV_ARGS(&spec));
        if (spec) {
            CapeParamType type = CAPE_REAL;
            if (SUCCEEDED(Step(
                    p.name + L": get Type", spec, [&] { return spec->get_Type(&type); },
                    [&] { return TypeName(type); })))
                p.type = type;
            cape_open::Var dims;
            Step(
                p.name + L": get Dimensionality", spec,
                [&] { return spec->get_Dimensionality(&dims.v); },
                [&] { return VariantText(dims.v); });
            spec->Release();
        } else if (specification) {
            Line(p.name + L": QueryInterface ICapeParameterSpec: " + Outcome(E_NOINTERFACE));
        }
        ICapeRealParameterSpec* real = nullptr;
        if (p.type == CAPE_REAL && specification)
            specification->QueryInterface(IID_PPV_ARGS(&real));
        if (real) {
            using Getter = HRESULT (STDMETHODCALLTYPE ICapeRealParameterSpec::*)(double*);
            const struct {
                const wchar_t* what;
                Getter get;
                double* number;
            } numbers[] = {
                {L"DefaultValue", &ICapeRealParameterSpec::get_DefaultValue, &p.defaultValue},
                {L"LowerBound", &ICapeRealParameterSpec::get_LowerBound, &p.lower},
                {L"UpperBound", &ICapeRealParameterSpec::get_UpperBound, &p.upper}};
            for (const auto& entry : numbers) {
                double read = UnitParameter::kNone;
                if (SUCCEEDED(Step(
                        p.name + L": get " + entry.what, real,
                        [&] { return (real->*entry.get)(&read); }, [&] { return Number(read); })))
                    *entry.number = read;
            }
            real->Release();
        }
        if (specification) specification->Release();
        VariantInit(&p.value);
        Step(
            p.name + L": get value", parameter, [&] { return parameter->get_value(&p.value); },
            [&] { return VariantText(p.value); });
        parameters.push_back(std::move(p));
    }
    collection->Release();
    if (parameters.empty())
        *notOffered = count == 0 ? L"the unit has no parameters" : L"no parameter could be read";
    return parameters;
}

size_t Session::EditParameters() {
    std::wstring notOffered;
    std::vector<UnitParameter> parameters = ReadParameters(&notOffered);
    size_t edited = 0;
    for (UnitParameter& p : parameters) {
        VARIANT number;
        VariantInit(&number);
        if (p.mode != CAPE_INPUT || p.type != CAPE_REAL ||
            FAILED(VariantChangeType(&number, &p.value, 0, VT_R8)))
            continue;
        const double now = number.dblVal;
        if (std::isfinite(p.upper) && p.upper > now)
            number.dblVal = now + (p.upper - now) / 2;
        else if (std::isfinite(p.lower) && p.lower < now)
            number.dblVal = now - (now - p.lower) / 2;
        else
            continue;
        if (SUCCEEDED(Step(p.name + L": put value " + Number(number.dblVal) +
                               L" (halfway to a bound, as a person edits it)",
                           p.parameter, [&] { return p.parameter->put_value(number); })))
            ++edited;
    }
    return edited;
}

std::wstring Session::CheckParameters() {
    std::wstring notOffered;
    std::vector<UnitParameter> parameters = ReadParameters(&notOffered);
    if (parameters.empty()) return notOffered;
    for (const UnitParameter& p : parameters) {
        if (p.lower > p.upper)
            verdict_.Add({L"unit", L"bounds-inconsistent",
                          p.name + L": lower bound " + Number(p.lower) + L" above upper bound " +
                              Number(p.upper)});
        else if (p.defaultValue < p.lower || p.defaultValue > p.upper)
            verdict_.Add({L"unit", L"bounds-inconsistent",
                          p.name + L": default " + Number(p.defaultValue) + L" outside [" +
                              Number(p.lower) + L", " + Number(p.upper) + L"]"});
    }

    // A solve, as a host makes one, then every parameter read again: no
    // input may have changed.
    Line(L"Solve, then every parameter read again:");
    const Validation before = ValidateUnit();
    if (!calculated_) {
        Line(L"Calculate: not called: the life's Calculate did not succeed");
    } else if (SUCCEEDED(before.hr) && before.valid) {
        record_->calculating = true;
        const HRESULT solved = Step(L"Calculate", unit_, [&] { return unit_->Calculate(); });
        record_->calculating = false;
        for (UnitParameter& p : parameters) {
            cape_open::Var now;
            if (FAILED(Step(
                    p.name + L": get value", p.parameter,
                    [&] { return p.parameter->get_value(&now.v); },
                    [&] { return VariantText(now.v); })))
                continue;
            const std::wstring was = VariantText(p.value), is = VariantText(now.v);
            if (SUCCEEDED(solved) && p.mode == CAPE_INPUT && was != is)
                verdict_.Add({L"unit", L"input-changed",
                              p.name + L": " + was + L" before Calculate, " + is + L" after"});
        }
    } else {
        Line(L"Calculate: not called: Validate did not say valid");
    }

    // Each input real parameter just outside a bound: its Validate and the
    // unit's must say invalid, with a message.
    for (UnitParameter& p : parameters) {
        double outside = 0;
        std::wstring which;
        if (p.mode != CAPE_INPUT || p.type != CAPE_REAL || !JustOutside(p, &outside, &which))
            continue;
        Line(p.name + L" just " + which + L":");
        const bool wasValid = ValStatus() == CAPE_VALID;
        VARIANT number;
        VariantInit(&number);
        number.vt = VT_R8;
        number.dblVal = outside;
        const HRESULT put = Step(p.name + L": put value " + Number(outside), p.parameter,
                                 [&] { return p.parameter->put_value(number); });
        if (FAILED(put)) {
            Line(p.name + L": the value was refused, as a parameter may refuse it");
            continue;
        }
        if (wasValid && ValStatus() == CAPE_VALID)
            verdict_.Add({L"unit", L"valstatus-stale",
                          L"ValStatus still CAPE_VALID after put value of " + p.name});
        auto unchecked = [&](const std::wstring& who, bool valid, const std::wstring& message) {
            if (valid || message.empty())
                verdict_.Add({L"unit", L"parameter-unchecked",
                              p.name + L" " + Number(outside) + L" (" + which + L"): " + who +
                                  (valid ? L" said valid" : L" said invalid without a message")});
        };
        BSTR message = nullptr;
        VARIANT_BOOL ok = VARIANT_FALSE;
        if (SUCCEEDED(Step(
                p.name + L": Validate", p.parameter,
                [&] { return p.parameter->Validate(&message, &ok); },
                [&] {
                    return std::wstring(L"isOK ") + (ok ? L"true" : L"false") + L", message " +
                           Quoted(message);
                })))
            unchecked(L"its Validate", ok != VARIANT_FALSE,
                      message ? std::wstring(message, SysStringLen(message)) : L"");
        SysFreeString(message);
        const Validation unit = ValidateUnit();
        if (SUCCEEDED(unit.hr)) unchecked(L"the unit's Validate", unit.valid, unit.message);
        Step(p.name + L": put value " + VariantText(p.value) + L" (as it was)", p.parameter,
             [&] { return p.parameter->put_value(p.value); });
        ValidateUnit();
    }

    // A port connected again: ValStatus must no longer say valid.
    for (Port& port : ports_) {
        if (!port.connected) continue;
        Line(L"Connect again, after a Validate:");
        const bool valid = SUCCEEDED(ValidateUnit().hr) && ValStatus() == CAPE_VALID;
        HRESULT hr = Step(
            port.name + L": Disconnect", port.port, [&] { return port.port->Disconnect(); }, {},
            port.name);
        if (SUCCEEDED(hr)) {
            hr = Step(
                port.name + L": Connect", port.port,
                [&] { return port.port->Connect(port.passThrough); }, {}, port.name);
            port.connected = SUCCEEDED(hr);
        }
        if (SUCCEEDED(hr) && valid && ValStatus() == CAPE_VALID)
            verdict_.Add({L"unit", L"valstatus-stale",
                          L"ValStatus still CAPE_VALID after " + port.name + L": Connect"});
        ValidateUnit();
        break;
    }
    return {};
}

}  // namespace korvid::validate
