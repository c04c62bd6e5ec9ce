#include "tools/sample_unit/flash_drum.h"

#include <vector>

#include "tools/sample_unit/material.h"
#include "tools/sample_unit/port.h"
#include "tools/sample_unit/real_parameter.h"

namespace korvid::sample_unit {

namespace {

enum PortIndex { kFeed, kVapour, kLiquid };
struct PortSpec {
    const wchar_t* name;
    const wchar_t* description;
    CapePortDirection direction;
};
constexpr PortSpec kPorts[] = {
    {L"Feed", L"The drum's feed", CAPE_INLET},
    {L"Vapour", L"The vapour leaving the top of the drum", CAPE_OUTLET},
    {L"Liquid", L"The liquid leaving the bottom of the drum", CAPE_OUTLET},
};

enum ParameterIndex { kTemperature, kVapourFraction };
const RealSpec kParameters[] = {
    {L"temperature", L"The drum's temperature (K)", 300, 100, 1000, {0, 0, 0, 0, 1, 0, 0}},
    {L"vapourFraction", L"The share of the feed (mole) that leaves as vapour", 0.5, 0, 1, {}},
};

void Append(std::wstring* text, const std::wstring& sentence) {
    text->append(text->empty() ? L"" : L" ").append(sentence);
}

}  // namespace

FlashDrum* FlashDrum::Create() { return new FlashDrum(); }

FlashDrum::Saved FlashDrum::Current() const {
    Saved saved{Name(), Description(), values_};
    if (stage_ == Stage::Initialized)
        for (size_t k = 0; k < parameters_->Size(); ++k) saved.values[k] = ParameterAt(k).Value();
    return saved;
}

void FlashDrum::Restore(const Saved& saved) {
    Rename(saved.name, saved.description);
    values_ = saved.values;
    if (stage_ == Stage::Initialized)
        for (size_t k = 0; k < parameters_->Size(); ++k) ParameterAt(k).SetValue(values_[k]);
}

FlashDrum::FlashDrum()
    : CapeObject(L"Flash drum", L"Korvid's sample flash drum: splits its feed into vapour and liquid",
                 L"Korvid::SampleFlashDrum") {
    for (const RealSpec& spec : kParameters) values_.push_back(spec.defaultValue);
}

FlashDrum::~FlashDrum() {
    if (stage_ == Stage::Initialized) Terminate();
}

IUnknown* FlashDrum::Find(REFIID iid) {
    if (IsEqualIID(iid, IID_ICapeUnit)) return &unit_;
    if (IsEqualIID(iid, IID_ICapeUtilities)) return &utilities_;
    if (IsEqualIID(iid, IID_ICapeUnitReport)) return &report_;
    if (IsEqualIID(iid, IID_IPersistStreamInit) || IsEqualIID(iid, IID_IPersist))
        return &persistence_;
    return nullptr;
}

Port& FlashDrum::PortAt(size_t k) const { return static_cast<Port&>(ports_->At(k)); }

RealParameter& FlashDrum::ParameterAt(size_t k) const {
    return static_cast<RealParameter&>(parameters_->At(k));
}

void FlashDrum::NeedInitialized(const wchar_t* operation) const {
    if (stage_ == Stage::Created) {
        Fail(CapeErrorKind::BadInvOrder,
             std::wstring(operation) + L" before Initialize: the unit has no ports and parameters yet.");
    }
    if (stage_ == Stage::Terminated) {
        Fail(CapeErrorKind::BadInvOrder, std::wstring(operation) + L" after Terminate.");
    }
}

void FlashDrum::Initialize() {
    if (stage_ != Stage::Created) {
        Fail(CapeErrorKind::BadInvOrder, L"Initialize comes once, as the first call.");
    }
    state_->fault = FaultFromEnvironment();
    supportsErrorInfo_ = state_->fault != Fault::BareError;
    ports_.Attach(Collection::Create(L"Ports", L"The flash drum's material ports", L"port"));
    if (state_->fault == Fault::ItemNone) ports_->AnswerNoneByName();
    for (const PortSpec& spec : kPorts) {
        Microsoft::WRL::ComPtr<Port> port;
        port.Attach(Port::Create(spec.name, spec.description, spec.direction, state_));
        ports_->Add(port.Get());
        state_->ports.push_back(port.Get());
    }
    parameters_.Attach(Collection::Create(L"Parameters", L"The flash drum's parameters", L"parameter"));
    for (const RealSpec& spec : kParameters) {
        Microsoft::WRL::ComPtr<RealParameter> parameter;
        parameter.Attach(RealParameter::Create(spec, state_));
        parameters_->Add(parameter.Get());
    }
    for (size_t k = 0; k < values_.size(); ++k)
        if (values_[k] != ParameterAt(k).Value()) ParameterAt(k).SetValue(values_[k]);
    // calculates-invalid starts a new drum out of bounds; a loaded one keeps
    // what was saved.
    if (state_->fault == Fault::CalculatesInvalid &&
        values_[kVapourFraction] == kParameters[kVapourFraction].defaultValue)
        ParameterAt(kVapourFraction).SetValue(1.5);
    stage_ = Stage::Initialized;
}

void FlashDrum::Terminate() {
    if (stage_ == Stage::Terminated) Fail(CapeErrorKind::BadInvOrder, L"Terminate comes once.");
    if (ports_) {
        for (size_t k = 0; k < ports_->Size(); ++k) PortAt(k).Disconnect();
    }
    state_->ports.clear();
    ports_.Reset();
    parameters_.Reset();
    context_.Reset();
    stage_ = Stage::Terminated;
}

bool FlashDrum::Check(std::wstring* message) {
    message->clear();
    for (size_t k = 0; k < ports_->Size(); ++k) {
        if (!PortAt(k).Connected()) Append(message, L"Port " + PortAt(k).Name() + L" is not connected.");
    }
    for (size_t k = 0; k < parameters_->Size(); ++k) {
        std::wstring why;
        if (!ParameterAt(k).Validate(&why)) Append(message, why);
    }
    return message->empty();
}

void FlashDrum::Calculate() {
    NeedInitialized(L"Calculate");
    const Fault fault = state_->fault;
    if (fault == Fault::BareError) {
        // A refused call on the feed leaves its error information behind.
        if (PortAt(kFeed).Connected()) PortAt(kFeed).Use()->Try(L"vapourFraction");
        throw BareFailure{};
    }
    for (size_t k = 0; k < ports_->Size(); ++k) {
        if (!PortAt(k).Connected()) {
            Fail(CapeErrorKind::BadInvOrder, L"Calculate with port " + PortAt(k).Name() +
                                                 L" not connected.");
        }
    }
    std::wstring why;
    if (fault != Fault::CalculatesInvalid && !Check(&why)) {
        Fail(CapeErrorKind::BadInvOrder, L"Calculate on an invalid unit: " + why);
    }

    // The feed is only read.
    const std::unique_ptr<Material> feed = PortAt(kFeed).Use();
    feed->MisbehaveOnFeed(fault);
    const FeedState in = feed->Read();
    MisbehaveInCalculate(fault);
    const double temperature =
        ParameterAt(kTemperature).Value() + (fault == Fault::Drifts ? solves_++ : 0);
    if (fault == Fault::WritesInlet) feed->Set(L"temperature", L"", {temperature});

    // Each outlet: its state, the feed's composition and its share of the
    // flow. The drum's split is its vapourFraction: through 0.9 no
    // CalcEquilibrium, each outlet holds exactly what the drum set; through
    // 1.1 the outlet's one phase is flashed at that state, as 1.1 units do.
    const double vapour = ParameterAt(kVapourFraction).Value();
    const struct {
        PortIndex port;
        double share;
        const wchar_t* phase;
    } outlets[] = {{kVapour, vapour, L"Vapor"}, {kLiquid, 1 - vapour, L"Liquid"}};
    // KORVID_SAMPLE_OUTLET: how the drum writes its outlets, as other units
    // do. "flows": their compounds' flows instead of a total and fractions;
    // "copy" (1.1): each first a copy of the feed; else a total and fractions.
    const std::wstring style = SampleSetting(L"KORVID_SAMPLE_OUTLET");
    for (const auto& outlet : outlets) {
        const std::unique_ptr<Material> product = PortAt(outlet.port).Use();
        if (style == L"copy") product->CopyFrom(*feed);
        // skips-outlet forgets the liquid's temperature, and so its flash.
        const bool skip = fault == Fault::SkipsOutlet && outlet.port == kLiquid;
        if (!skip) product->Set(L"temperature", L"", {temperature});
        product->Set(L"pressure", L"", {in.pressure});
        if (style == L"flows") {
            std::vector<double> flows;
            for (double x : in.fractions) flows.push_back(x * in.totalFlow * outlet.share);
            product->SetFlows(flows);
        } else {
            product->Set(L"totalFlow", L"mole", {in.totalFlow * outlet.share});
            product->Set(L"fraction", L"mole", in.fractions);
        }
        if (!skip) product->Settle(outlet.phase, fault == Fault::IgnoresError);
    }
    if (fault == Fault::ChangesInput) ParameterAt(kTemperature).SetValue(temperature + 1);
}

// --- ICapeUnit ---------------------------------------------------------------------------

HRESULT FlashDrum::Unit::get_ports(IDispatch** ports) {
    return Out(L"get_ports", ports, [&] {
        Self().NeedInitialized(L"ports");
        IDispatch* collection = Self().ports_->Default();
        collection->AddRef();
        return collection;
    });
}

HRESULT FlashDrum::Unit::get_ValStatus(CapeValidationStatus* status) {
    return Out(L"get_ValStatus", status, [&] {
        const FlashDrum& drum = Self();
        const bool stale = drum.state_->fault == Fault::StaleValStatus;
        if (!drum.validated_ || (drum.validatedAt_ != drum.state_->changes && !stale))
            return CAPE_NOT_VALIDATED;
        return drum.valid_ ? CAPE_VALID : CAPE_INVALID;
    });
}

HRESULT FlashDrum::Unit::Calculate() {
    return Run(L"Calculate", [&] { Self().Calculate(); });
}

HRESULT FlashDrum::Unit::Validate(BSTR* message, VARIANT_BOOL* isValid) {
    return Out(L"Validate", isValid, [&] {
        FlashDrum& drum = Self();
        drum.NeedInitialized(L"Validate");
        if (!message)
            Fail(CapeErrorKind::InvalidArgument, L"Validate was given no message argument.");
        std::wstring why;
        const bool valid = drum.Check(&why);
        SetText(message, why);
        drum.validated_ = true;
        drum.valid_ = valid;
        drum.validatedAt_ = drum.state_->changes;
        return valid ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

// --- ICapeUtilities ----------------------------------------------------------------------

HRESULT FlashDrum::Utilities::get_parameters(IDispatch** parameters) {
    return Out(L"get_parameters", parameters, [&] {
        Self().NeedInitialized(L"parameters");
        IDispatch* collection = Self().parameters_->Default();
        collection->AddRef();
        return collection;
    });
}

HRESULT FlashDrum::Utilities::put_simulationContext(IDispatch* context) {
    return Run(L"put_simulationContext", [&] {
        if (Self().stage_ == Stage::Terminated) {
            Fail(CapeErrorKind::BadInvOrder, L"simulationContext after Terminate.");
        }
        if (Self().stage_ == Stage::Initialized && Self().state_->fault == Fault::ContextFirst)
            Fail(CapeErrorKind::BadInvOrder, L"simulationContext comes before Initialize.");
        Self().context_ = context;  // kept until Terminate, not used
    });
}

HRESULT FlashDrum::Utilities::Initialize() {
    return Run(L"Initialize", [&] { Self().Initialize(); });
}

HRESULT FlashDrum::Utilities::Terminate() {
    return Run(L"Terminate", [&] { Self().Terminate(); });
}

HRESULT FlashDrum::Utilities::Edit() {
    return Run(L"Edit",
               [] { Fail(CapeErrorKind::NoImpl, L"The sample flash drum has no dialog."); });
}

}  // namespace korvid::sample_unit
