#include "tools/validate/unit_host.h"

#include <functional>
#include <utility>
#include <vector>

#include "CapeOpenUnit_h.h"
#include "tools/validate/com_values.h"
#include "tools/validate/crash_report.h"
#include "tools/validate/host_material.h"
#include "tools/validate/output.h"
#include "tools/validate/pass_through.h"
#include "tools/validate/record_judge.h"
#include "tools/validate/simulation_context.h"

namespace korvid::validate {

namespace {

// A file name part from a port's name: characters Windows refuses become "_".
std::wstring FilePart(std::wstring text) {
    for (wchar_t& ch : text)
        if (ch < 32 || wcschr(L"<>:\"/\\|?*", ch)) ch = L'_';
    return text;
}

const wchar_t* DirectionName(long direction) {
    return direction == CAPE_INLET    ? L"inlet"
           : direction == CAPE_OUTLET ? L"outlet"
                                      : L"inlet and outlet";
}

std::wstring Enumerated(long value, std::initializer_list<const wchar_t*> names) {
    const bool known = value >= 0 && value < static_cast<long>(names.size());
    return known ? names.begin()[value] + (L" (" + std::to_wstring(value) + L")")
                 : L"unknown value " + std::to_wstring(value);
}

// The state the host sets on an inlet and reads back from an outlet:
// property, basis.
constexpr std::pair<const wchar_t*, const wchar_t*> kStateProps[] = {
    {L"temperature", L""}, {L"pressure", L""}, {L"totalFlow", L"mole"}, {L"fraction", L"mole"}};

struct Port {
    std::wstring name;
    ICapeUnitPort* port = nullptr;
    long type = CAPE_ANY;
    long direction = CAPE_INLET;
    IUnknown* object = nullptr;        // the host's own reference
    IDispatch* passThrough = nullptr;  // what the unit is given
    ObjectRecord* record = nullptr;
    std::wstring report;
    bool named = false;  // by its ICapeIdentification
    bool connected = false;
    std::wstring unset;  // 1.1: the parts of the outlet's state never set, as read back
};

class Session {
public:
    Session(const Options& options, Verdict& verdict)
        : options_(options), verdict_(verdict), thermo_{options.thermo11} {}
    void Run();

private:
    // Prints `what` with its outcome (a failure with all the unit says about
    // it) and counts a failure; `value` describes a success.
    HRESULT Step(const std::wstring& what, IUnknown* failing, const std::function<HRESULT()>& call,
                 const std::function<std::wstring()>& value = {},
                 const std::wstring& port = L"unit");
    // A call of the host on a material object of its own.
    HRESULT HostCall(const std::wstring& what, const std::function<HRESULT()>& call,
                     const std::function<std::wstring()>& value = {});
    bool CreateUnit();
    bool ReadPorts();
    bool GiveMaterialObject(Port& port);
    bool SetFeed(Port& port);
    void Connect(Port& port);
    void Solve();
    void ReadBack(Port& port);
    void TearDown();
    void Judge();

    const Options& options_;
    Verdict& verdict_;
    const Thermo thermo_;
    CLSID korvid_{};
    std::wstring como_;
    ICapeUnit* unit_ = nullptr;
    ICapeUtilities* utilities_ = nullptr;
    ICapeCollection* collection_ = nullptr;
    bool initialized_ = false;
    bool calculated_ = false;
    std::vector<Port> ports_;
    CallRecord record_;
    std::vector<ULONG> keptAfterTerminate_;
};

HRESULT Session::Step(const std::wstring& what, IUnknown* failing,
                      const std::function<HRESULT()>& call,
                      const std::function<std::wstring()>& value, const std::wstring& port) {
    verdict_.SetCall(what);
    const HRESULT hr = call();
    if (SUCCEEDED(hr)) {
        Line(what + L": " + Outcome(hr) + (value ? L", " + value() : L""));
        return hr;
    }
    const FailureInfo info = DescribeFailure(failing);
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
        for (const std::wstring& line : DescribeFailure(nullptr).lines) Line(L"    " + line);
    return hr;
}

bool Session::CreateUnit() {
    CLSID clsid{};
    const std::wstring& name = options_.unit;
    const HRESULT found = name[0] == L'{' ? CLSIDFromString(name.c_str(), &clsid)
                                          : CLSIDFromProgID(name.c_str(), &clsid);
    if (FAILED(found)) {
        verdict_.HostError(name[0] == L'{' ? L"not a CLSID: " + name
                                           : L"no unit is registered as " + name);
        return false;
    }
    LPOLESTR progId = nullptr;
    const std::wstring registered =
        SUCCEEDED(ProgIDFromCLSID(clsid, &progId)) ? std::wstring(progId) + L" " : L"";
    CoTaskMemFree(progId);
    Line(L"Unit: " + registered + GuidText(clsid) + L", material objects " +
         (options_.form ? L"with their forms" : L"headless") + L", reports " +
         options_.reportPrefix + L"-<port>");
    IUnknown* made = nullptr;
    verdict_.SetCall(L"create the unit");
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&made));
    Line(L"create the unit: " + Outcome(hr));
    if (FAILED(hr)) {
        for (const std::wstring& line : DescribeFailure(nullptr).lines) Line(L"    " + line);
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
    if (FAILED(asUtilities)) verdict_.Failure(L"QueryInterface ICapeUtilities", Hex(asUtilities));
    return unit_ != nullptr;
}

bool Session::ReadPorts() {
    IDispatch* ports = nullptr;
    if (FAILED(Step(L"get ports", unit_, [&] { return unit_->get_ports(&ports); }))) return false;
    const HRESULT asCollection = ports->QueryInterface(IID_PPV_ARGS(&collection_));
    ports->Release();
    Line(L"QueryInterface ICapeCollection: " + Outcome(asCollection));
    if (FAILED(asCollection)) {
        verdict_.Failure(L"QueryInterface ICapeCollection", Hex(asCollection));
        return false;
    }
    LONG count = 0;
    if (FAILED(Step(
            L"ports.Count", collection_, [&] { return collection_->Count(&count); },
            [&] { return std::to_wstring(count); })))
        return false;
    for (LONG k = 1; k <= count; ++k) {
        Port port;
        IDispatch* item = nullptr;
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = k;
        const std::wstring at = L"ports.Item(" + std::to_wstring(k) + L")";
        if (FAILED(Step(at, collection_, [&] { return collection_->Item(index, &item); })))
            continue;
        item->QueryInterface(IID_PPV_ARGS(&port.port));
        ICapeIdentification* identification = nullptr;
        item->QueryInterface(IID_PPV_ARGS(&identification));
        item->Release();
        const std::wstring numbered = L"port " + std::to_wstring(k);
        if (!port.port) {
            Line(numbered + L": QueryInterface ICapeUnitPort: " + Outcome(E_NOINTERFACE));
            verdict_.Failure(numbered + L": QueryInterface ICapeUnitPort", Hex(E_NOINTERFACE));
            Drop(identification);
            continue;
        }
        BSTR name = nullptr;
        if (!identification)
            Line(numbered + L": QueryInterface ICapeIdentification: " + Outcome(E_NOINTERFACE));
        else if (SUCCEEDED(Step(
                     numbered + L": get ComponentName", identification,
                     [&] { return identification->get_ComponentName(&name); },
                     [&] { return Quoted(name); }, numbered)))
            port.name = name ? name : L"";
        SysFreeString(name);
        port.named = !port.name.empty();
        Drop(identification);
        if (!port.named) port.name = numbered;
        CapePortType type = CAPE_ANY;
        CapePortDirection direction = CAPE_INLET;
        Step(
            port.name + L": get portType", port.port,
            [&] { return port.port->get_portType(&type); },
            [&] {
                return Enumerated(
                    type, {L"CAPE_MATERIAL", L"CAPE_ENERGY", L"CAPE_INFORMATION", L"CAPE_ANY"});
            },
            port.name);
        Step(
            port.name + L": get direction", port.port,
            [&] { return port.port->get_direction(&direction); },
            [&] {
                return Enumerated(direction, {L"CAPE_INLET", L"CAPE_OUTLET", L"CAPE_INLET_OUTLET"});
            },
            port.name);
        port.type = type;
        port.direction = direction;
        ports_.push_back(std::move(port));
    }
    // The same ports by name.
    for (Port& port : ports_) {
        if (!port.named) continue;
        IDispatch* item = nullptr;
        VARIANT name;
        VariantInit(&name);
        name.vt = VT_BSTR;
        name.bstrVal = SysAllocString(port.name.c_str());
        Step(
            L"ports.Item(" + Quoted(port.name) + L")", collection_,
            [&] { return collection_->Item(name, &item); },
            [&] { return SameObject(item, port.port) ? L"the same port" : L"another object"; });
        VariantClear(&name);
        Drop(item);
    }
    return true;
}

// The port's own Korvid object, its definition given up front (headless) or
// by a person in its form.
bool Session::GiveMaterialObject(Port& port) {
    port.report = options_.reportPrefix + L"-" + FilePart(port.name);
    SetEnvironmentVariableW(L"KORVID_COMO", options_.form ? nullptr : como_.c_str());
    SetEnvironmentVariableW(L"KORVID_REPORT", options_.form ? nullptr : port.report.c_str());
    SetEnvironmentVariableW(L"KORVID_COMPIDS", options_.form  ? nullptr
                                               : options_.cas ? L"cas"
                                                              : L"names");
    const std::wstring what =
        port.name + L": create " + thermo_.ClassName() +
        (options_.form ? L" (its form opens)" : L", report " + Quoted(port.report));
    const HRESULT hr = HostCall(what, [&] {
        return CoCreateInstance(korvid_, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&port.object));
    });
    if (FAILED(hr)) {
        verdict_.HostError(std::wstring(thermo_.ClassName()) + L" for port " + port.name +
                           L" could not be created: " + Hex(hr));
        return false;
    }
    if (port.direction != CAPE_OUTLET && !SetFeed(port)) return false;
    port.record = &record_.Add(port.name, port.name, false);
    port.passThrough = thermo_.Wrap(port.object, *port.record, record_);
    if (!port.passThrough) {
        verdict_.HostError(L"no pass-through for port " + port.name);
        return false;
    }
    return true;
}

bool Session::SetFeed(Port& port) {
    LONG count = 0;
    if (FAILED(HostCall(
            port.name + L": " + thermo_.CountCall(),
            [&] { return thermo_.Count(port.object, &count); },
            [&] { return std::to_wstring(count); }))) {
        verdict_.HostError(L"the components of port " + port.name + L" cannot be counted");
        return false;
    }
    std::vector<double> fractions = options_.feed.fractions;
    if (fractions.empty()) fractions.assign(static_cast<size_t>(count), 1.0 / count);
    if (fractions.size() != static_cast<size_t>(count)) {
        verdict_.HostError(L"--feed gives " + std::to_wstring(fractions.size()) +
                           L" fractions for " + std::to_wstring(count) + L" components");
        return false;
    }
    const FeedState& feed = options_.feed;
    const std::vector<double> values[] = {
        {feed.temperature}, {feed.pressure}, {feed.totalFlow}, fractions};
    bool ok = true;
    for (size_t k = 0; k < std::size(kStateProps) && ok; ++k) {
        const auto& [property, basis] = kStateProps[k];
        ok = SUCCEEDED(HostCall(
            port.name + L": " + thermo_.SetCall() + L" " + property + L" " + Numbers(values[k]),
            [&] { return thermo_.Set(port.object, property, basis, values[k]); }));
    }
    if (!ok) verdict_.HostError(L"the feed state of port " + port.name + L" was refused");
    return ok;
}

void Session::Connect(Port& port) {
    const HRESULT hr = Step(
        port.name + L": Connect", port.port, [&] { return port.port->Connect(port.passThrough); },
        {}, port.name);
    port.connected = SUCCEEDED(hr);
    if (!port.connected) return;
    IDispatch* connected = nullptr;
    bool same = false;
    if (SUCCEEDED(Step(
            port.name + L": get connectedObject", port.port,
            [&] { return port.port->get_connectedObject(&connected); },
            [&] {
                same = SameObject(connected, port.passThrough);
                return same        ? L"the object connected"
                       : connected ? L"another object"
                                   : L"no object";
            },
            port.name)) &&
        !same) {
        verdict_.Add(
            {port.name, L"wrong-connected",
             connected ? L"connectedObject is another object" : L"connectedObject is none"});
    }
    Drop(connected);
}

void Session::Solve() {
    BSTR message = nullptr;
    VARIANT_BOOL valid = VARIANT_FALSE;
    const HRESULT validated = Step(
        L"Validate", unit_, [&] { return unit_->Validate(&message, &valid); },
        [&] {
            return std::wstring(L"isValid ") + (valid ? L"true" : L"false") + L", message " +
                   Quoted(message);
        });
    const bool invalid = SUCCEEDED(validated) && !valid;
    if (invalid) verdict_.Failure(L"Validate", L"invalid");
    SysFreeString(message);
    CapeValidationStatus status = CAPE_NOT_VALIDATED;
    Step(
        L"get ValStatus", unit_, [&] { return unit_->get_ValStatus(&status); },
        [&] {
            return Enumerated(status, {L"CAPE_NOT_VALIDATED", L"CAPE_INVALID", L"CAPE_VALID"});
        });
    calculated_ = SUCCEEDED(Step(L"Calculate", unit_, [&] { return unit_->Calculate(); }));
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
    // What is left on a pass-through once the host let go of it is the unit's.
    for (Port& port : ports_) Drop(port.passThrough);
    for (const ObjectRecord& object : record_.Objects()) {
        keptAfterTerminate_.push_back(object.references);
        if (object.references)
            verdict_.Add({object.label, L"object-kept",
                          std::to_wstring(object.references) +
                              (object.references == 1 ? L" reference" : L" references") +
                              L" held after Disconnect and Terminate"});
    }
    for (Port& port : ports_) Drop(port.port);
    Drop(collection_);
    Drop(utilities_);
    verdict_.SetCall(L"release the unit");
    Line(L"release the unit: " + std::to_wstring(unit_->Release()) + L" references left");
    unit_ = nullptr;
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
    JudgeRecord(record_, uses, keptAfterTerminate_, verdict_);
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
    if (!CreateUnit()) return;
    if (utilities_) {
        IDispatch* context = NewSimulationContext();
        verdict_.SetCall(L"put simulationContext");
        const HRESULT hr = utilities_->put_simulationContext(context);
        context->Release();
        const bool declined = hr == static_cast<HRESULT>(ECapeNoImplHR) || hr == E_NOTIMPL;
        if (declined) SetErrorInfo(0, nullptr);
        if (declined)
            Line(L"put simulationContext: " + Outcome(hr) +
                 L" (accepted: the unit takes no context)");
        else
            Step(L"put simulationContext", utilities_, [&] { return hr; });
        initialized_ =
            SUCCEEDED(Step(L"Initialize", utilities_, [&] { return utilities_->Initialize(); }));
        if (!initialized_) {
            // A unit whose Initialize failed is released without Terminate.
            Drop(utilities_);
            Line(L"release the unit: " + std::to_wstring(unit_->Release()) + L" references left");
            unit_ = nullptr;
            return;
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
        record_.beforeCopy = [&](const std::wstring& label) {
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
    }
    TearDown();
    Judge();
}

}  // namespace

void RunUnit(const Options& options, Verdict& verdict) { Session(options, verdict).Run(); }

}  // namespace korvid::validate
