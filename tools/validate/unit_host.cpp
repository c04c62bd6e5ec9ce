#include "tools/validate/unit_host.h"

#include "tools/validate/com_values.h"
#include "tools/validate/crash_report.h"
#include "tools/validate/output.h"
#include "tools/validate/record_judge.h"
#include "tools/validate/references.h"
#include "tools/validate/session.h"
#include "tools/validate/simulation_context.h"

namespace korvid::validate {

namespace {

const wchar_t* DirectionName(long direction) {
    return direction == CAPE_INLET    ? L"inlet"
           : direction == CAPE_OUTLET ? L"outlet"
                                      : L"inlet and outlet";
}

}  // namespace

HRESULT Session::Report(const std::wstring& what, IUnknown* failing, const IID& called, HRESULT hr,
                        const std::function<std::wstring()>& value, const std::wstring& port) {
    if (SUCCEEDED(hr)) {
        const std::wstring described = value ? value() : L"";
        Line(what + L": " + Outcome(hr) + (described.empty() ? L"" : L", " + described));
        return hr;
    }
    const FailureInfo info = DescribeFailure(failing, &called);
    Line(what + L": " + Outcome(hr));
    for (const std::wstring& line : info.lines) Line(L"    " + line);
    verdict_.Failure(what, Hex(hr));
    if (!info.capeOpen) verdict_.Add({port, L"no-error-info", what + L" " + Hex(hr)});
    return hr;
}

HRESULT Session::HostCall(const std::wstring& what, const std::function<HRESULT()>& call,
                          const std::function<std::wstring()>& value) {
    verdict_.SetCall(what);
    const HRESULT hr = call();
    Line(what + L": " + Outcome(hr) + (SUCCEEDED(hr) && value ? L", " + value() : L""));
    if (FAILED(hr))
        for (const std::wstring& line : DescribeFailure(nullptr, nullptr).lines)
            Line(L"    " + line);
    return hr;
}

HRESULT Session::GiveContext(ICapeUtilities* utilities, const std::wstring& what) {
    IDispatch* context = NewSimulationContext();
    verdict_.SetCall(what);
    ClearErrorInfo();
    const HRESULT hr = utilities->put_simulationContext(context);
    context->Release();
    if (!Declined(hr)) return Report(what, utilities, __uuidof(ICapeUtilities), hr, {}, L"unit");
    ClearErrorInfo();
    Line(what + L": " + Outcome(hr) + L" (accepted: the unit takes no context)");
    return hr;
}

bool Session::CreateUnit() {
    const std::wstring& name = options_.unit;
    const HRESULT found = name[0] == L'{' ? CLSIDFromString(name.c_str(), &clsid_)
                                          : CLSIDFromProgID(name.c_str(), &clsid_);
    if (FAILED(found)) {
        verdict_.HostError(name[0] == L'{' ? L"not a CLSID: " + name
                                           : L"no unit is registered as " + name);
        return false;
    }
    LPOLESTR progId = nullptr;
    const std::wstring registered =
        SUCCEEDED(ProgIDFromCLSID(clsid_, &progId)) ? std::wstring(progId) + L" " : L"";
    CoTaskMemFree(progId);
    declaresThermo_ = DeclaresThermo(clsid_, thermo_.v11);
    Line(L"Unit: " + registered + GuidText(clsid_) + L", material objects " +
         (options_.form ? L"with their forms" : L"headless") + L", reports " +
         options_.reportPrefix + L"-<port>");
    IUnknown* made = nullptr;
    verdict_.SetCall(L"create the unit");
    const HRESULT hr = CoCreateInstance(clsid_, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&made));
    Line(L"create the unit: " + Outcome(hr));
    if (FAILED(hr)) {
        for (const std::wstring& line : DescribeFailure(nullptr, nullptr).lines)
            Line(L"    " + line);
        verdict_.HostError(hr == REGDB_E_CLASSNOTREG
                               ? L"the unit is not registered: " + name
                               : L"the unit could not be created: " + Hex(hr));
        return false;
    }
    const HRESULT asUnit = made->QueryInterface(IID_PPV_ARGS(&unit_));
    Line(L"QueryInterface ICapeUnit: " + Outcome(asUnit));
    const HRESULT asUtilities = made->QueryInterface(IID_PPV_ARGS(&utilities_));
    Line(L"QueryInterface ICapeUtilities: " + Outcome(asUtilities));
    made->Release();
    if (FAILED(asUnit)) verdict_.Failure(L"QueryInterface ICapeUnit", Hex(asUnit));
    offersUtilities_ = SUCCEEDED(asUtilities);
    if (FAILED(asUtilities)) verdict_.Failure(L"QueryInterface ICapeUtilities", Hex(asUtilities));
    return unit_ != nullptr;
}
Session::Validation Session::ValidateUnit(const std::wstring& what) {
    Validation result;
    BSTR message = nullptr;
    VARIANT_BOOL valid = VARIANT_FALSE;
    result.hr = Step(
        what, unit_, [&] { return unit_->Validate(&message, &valid); },
        [&] {
            result.valid = valid != VARIANT_FALSE;
            result.message = message ? std::wstring(message, SysStringLen(message)) : L"";
            return result.shown = std::wstring(L"isValid ") + (valid ? L"true" : L"false") +
                                  L", message " + Quoted(message);
        });
    SysFreeString(message);
    return result;
}

long Session::ValStatus(const std::wstring& what) {
    CapeValidationStatus status = CAPE_NOT_VALIDATED;
    const HRESULT hr = Step(
        what, unit_, [&] { return unit_->get_ValStatus(&status); },
        [&] {
            return Enumerated(status, {L"CAPE_NOT_VALIDATED", L"CAPE_INVALID", L"CAPE_VALID"});
        });
    return SUCCEEDED(hr) ? status : -1;
}

void Session::Solve() {
    const Validation validation = ValidateUnit();
    const HRESULT validated = validation.hr;
    validation_ = validation.shown;
    const bool invalid = saidInvalid_ = SUCCEEDED(validated) && !validation.valid;
    if (invalid) verdict_.Failure(L"Validate", L"invalid");
    ValStatus();
    // As a simulator: Calculate only once every material port is connected
    // and Validate said valid (--calculate-invalid: whatever Validate said).
    std::wstring notReady;
    for (const Port& port : ports_)
        if (port.type == CAPE_MATERIAL && !port.connected && notReady.empty())
            notReady = L"port " + port.name + L" is not connected";
    if (notReady.empty() && !options_.calculateInvalid && (FAILED(validated) || invalid))
        notReady = std::wstring(FAILED(validated) ? L"Validate failed" : L"Validate said invalid") +
                   L" (--calculate-invalid calls it all the same)";
    if (!notReady.empty()) return Line(L"Calculate: not called: " + notReady);
    record_->calculating = true;
    calculated_ = SUCCEEDED(Step(L"Calculate", unit_, [&] { return unit_->Calculate(); }));
    record_->calculating = false;
    if (calculated_ && invalid)
        verdict_.Add(
            {L"unit", L"calculated-invalid", L"Calculate succeeded after Validate said invalid"});
    if (!calculated_) return;
    for (Port& port : ports_)
        if (port.connected && port.direction == CAPE_OUTLET) ReadBack(port);
}

// The outlet's stored state, through the host's own reference. A 1.1
// material answers a value never set with ECapeThrmPropertyNotAvailable:
// that part of the state is unset, which is no failure of the read.
void Session::ReadBack(Port& port) {
    bool set[4] = {};  // temperature, pressure, flow, composition
    for (size_t k = 0; k < std::size(kStateProps); ++k) {
        const auto& [name, basis] = kStateProps[k];
        std::vector<double> values;
        const HRESULT hr = thermo_.Get(port.object, name, basis, &values);
        HostCall(
            port.name + L": " + thermo_.GetCall() + L" " + name, [&] { return hr; },
            [&] { return Numbers(values); });
        port.readBack.push_back(SUCCEEDED(hr) ? Numbers(values) : Hex(hr));
        set[k] = !thermo_.NeverSet(hr);
        if (FAILED(hr) && set[k])
            verdict_.Failure(port.name + L": " + thermo_.GetCall() + L" " + name, Hex(hr));
    }
    const wchar_t* parts[] = {L"temperature", L"pressure", L"flow", L"composition"};
    for (int q = 0; q < 4; ++q)
        if (!set[q]) port.unset += (port.unset.empty() ? L"" : L" ") + std::wstring(parts[q]);
}

void Session::TearDown() {
    for (Port& port : ports_) {
        if (port.connected)
            Step(
                port.name + L": Disconnect", port.port, [&] { return port.port->Disconnect(); }, {},
                port.name);
    }
    if (initialized_) Step(L"Terminate", utilities_, [&] { return utilities_->Terminate(); });
    keptAfterTerminate_ = KeptReferences(*record_, verdict_);
    for (Port& port : ports_) Drop(port.port);
    Drop(persistInit_);
    Drop(persist_);
    Drop(collection_);
    Drop(utilities_);
    verdict_.SetCall(L"release the unit");
    Line(L"release the unit: " + std::to_wstring(unit_->Release()) + L" references left");
    unit_ = nullptr;
    // The pass-throughs the unit holds no reference on go, and their
    // objects with the host's own references.
    record_->LetGo();
    for (Port& port : ports_) port.passThrough = nullptr;
    for (Port& port : ports_) Drop(port.object);
}

// The record, object by object, and what it shows.
void Session::Judge() {
    std::vector<PortUse> uses;
    for (const Port& port : ports_) {
        if (!port.record) continue;
        uses.push_back({port.record, port.direction == CAPE_INLET,
                        port.direction == CAPE_OUTLET && port.connected && calculated_, thermo_.v11,
                        port.unset,
                        std::wstring(DirectionName(port.direction)) + L", report " +
                            (options_.form ? L"named in its form" : Quoted(port.report))});
    }
    JudgeRecord(*record_, uses, keptAfterTerminate_, calculated_, verdict_);
}

void Session::Run() {
    verdict_.SetUnit(options_.unit);
    const CrashRecord crashRecord([this] { Judge(); });
    if (FAILED(CLSIDFromProgID(thermo_.ClassName(), &korvid_)))
        return verdict_.HostError(std::wstring(thermo_.ClassName()) + L" is not registered");
    if (!options_.como.empty()) {
        wchar_t full[MAX_PATH * 4];
        const DWORD length = GetFullPathNameW(options_.como.c_str(),
                                              static_cast<DWORD>(std::size(full)), full, nullptr);
        const DWORD attributes = length ? GetFileAttributesW(full) : INVALID_FILE_ATTRIBUTES;
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return verdict_.HostError(L"no component file " + options_.como);
        como_ = full;
    }
    if (!CreateUnit() || !StartPersistence()) return;
    if (utilities_) {
        lifeContext_ = GiveContext(utilities_, L"put simulationContext");
        lifeInitialize_ = Step(L"Initialize", utilities_, [&] { return utilities_->Initialize(); });
        initialized_ = SUCCEEDED(lifeInitialize_);
        if (!initialized_) {
            // A unit whose Initialize failed is released without Terminate.
            Drop(utilities_);
            Line(L"release the unit: " + std::to_wstring(unit_->Release()) + L" references left");
            unit_ = nullptr;
            return RunChecks(false);
        }
    }
    ICapeIdentification* identification = nullptr;
    if (SUCCEEDED(unit_->QueryInterface(IID_PPV_ARGS(&identification)))) {
        BSTR text = nullptr;
        Step(
            L"get ComponentName", identification,
            [&] { return identification->get_ComponentName(&text); }, [&] { return Quoted(text); });
        SysFreeString(text);
        text = nullptr;
        Step(
            L"get ComponentDescription", identification,
            [&] { return identification->get_ComponentDescription(&text); },
            [&] { return Quoted(text); });
        SysFreeString(text);
        identification->Release();
    } else {
        Line(L"QueryInterface ICapeIdentification: " + Outcome(E_NOINTERFACE));
    }
    if (ReadPorts()) {
        record_->beforeCopy = [this](const std::wstring& label) {
            if (!options_.form)
                SetEnvironmentVariableW(L"KORVID_REPORT",
                                        (options_.reportPrefix + L"-" + FilePart(label)).c_str());
        };
        bool ready = true;
        for (Port& port : ports_) {
            if (port.type != CAPE_MATERIAL) {
                Line(port.name + L": left unconnected (the host connects material ports only)");
                continue;
            }
            if (!(ready = GiveMaterialObject(port))) break;
            Connect(port);
        }
        if (ready) Solve();
        if (ready && load_) loadedFacts_ = Capture();
        if (ready) RunChecks(true);
    }
    TearDown();
    Judge();
    RunChecks(false);
}

bool Session::Handled() const {
    for (const Port& port : ports_)
        if (port.type == CAPE_MATERIAL && !port.connected) return false;
    return !saidInvalid_;
}

void RunUnit(const Options& options, Verdict& verdict) {
    if (!options.thermoBoth) {
        verdict.SetVersion(options.thermo11 ? L"1.1" : L"1.0", false);
        return Session(options, verdict).Run();
    }
    // Each version's own life and checks, its reports named apart. A unit
    // that refuses the version its categories do not claim handles the
    // other one only: said, and no failure.
    for (const bool v11 : {false, true}) {
        Options one = options;
        one.thermo11 = v11;
        one.thermoBoth = false;
        const std::wstring version = v11 ? L"1.1" : L"1.0";
        one.reportPrefix += L"-" + version;
        verdict.SetVersion(version, true);
        Line(L"Thermo " + version + L":");
        const size_t failures = verdict.FailureCount();
        Session session(one, verdict);
        session.Run();
        if (!session.Handled() && !session.Claimed()) {
            verdict.ForgiveFailures(failures);
            Line(L"Thermo " + version + L": the unit handles only the other version " +
                 L"(a refused Connect or an invalid Validate); its categories do not claim " +
                 version + L", so this is no finding");
        }
        Line(L"");
    }
    verdict.SetVersion(L"", false);
}

}  // namespace korvid::validate
