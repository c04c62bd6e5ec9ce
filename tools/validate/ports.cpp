// The session's ports: read from the unit (Count, Item by index and by
// name, name, type, direction), each material port given its own Korvid
// object behind a pass-through, connected, and its connectedObject checked.
#include "tools/validate/session.h"

#include <utility>

#include "tools/validate/com_values.h"
#include "tools/validate/output.h"
#include "tools/validate/references.h"

namespace korvid::validate {

bool Session::ReadPorts() {
    IDispatch* ports = nullptr;
    if (FAILED(Step(L"get ports", unit_, [&] { return unit_->get_ports(&ports); }))) return false;
    if (!(collection_ = AsCollection(ports, L"QueryInterface ICapeCollection"))) return false;
    LONG count = 0;
    if (FAILED(Step(
            L"ports.Count", collection_, [&] { return collection_->Count(&count); },
            [&] { return std::to_wstring(count); })))
        return false;
    for (LONG k = 1; k <= count; ++k) {
        Port port;
        IDispatch* item = ItemAt(collection_, L"ports", k);
        if (!item) continue;
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
            [&] {
                return !item ? ItemNone(L"ports.Item(" + Quoted(port.name) + L")")
                       : SameObject(item, port.port) ? L"the same port"
                                                     : L"another object";
            });
        VariantClear(&name);
        Drop(item);
    }
    return true;
}

ICapeCollection* Session::AsCollection(IDispatch* listed, const std::wstring& failure) {
    ICapeCollection* collection = nullptr;
    const HRESULT asCollection = listed->QueryInterface(IID_PPV_ARGS(&collection));
    listed->Release();
    Line(L"QueryInterface ICapeCollection: " + Outcome(asCollection));
    if (FAILED(asCollection)) verdict_.Failure(failure, Hex(asCollection));
    return collection;
}

IDispatch* Session::ItemAt(ICapeCollection* collection, const wchar_t* name, LONG k) {
    IDispatch* item = nullptr;
    VARIANT index;
    VariantInit(&index);
    index.vt = VT_I4;
    index.lVal = k;
    const std::wstring at = name + (L".Item(" + std::to_wstring(k) + L")");
    if (FAILED(Step(
            at, collection, [&] { return collection->Item(index, &item); },
            [&] { return item ? L"" : ItemNone(at); })))
        Drop(item);
    return item;
}

std::wstring Session::ItemNone(const std::wstring& call) {
    verdict_.Failure(call, L"no object");
    verdict_.Add({L"unit", L"item-none", call + L" answered S_OK with no object"});
    return L"no object";
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
    port.record = &record_->Add(port.name, port.name, false);
    port.passThrough = thermo_.Wrap(port.object, *port.record, *record_);
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
    // The whole state a simulator's stream holds: besides the overall state
    // the host reads back from outlets, each compound's flow.
    const FeedState& feed = options_.feed;
    std::vector<double> flows;
    for (const double fraction : fractions) flows.push_back(feed.totalFlow * fraction);
    const std::pair<const wchar_t*, const wchar_t*> props[] = {
        kStateProps[0], kStateProps[1], kStateProps[2], kStateProps[3], {L"flow", L"mole"}};
    static_assert(std::size(kStateProps) == 4, "a state property the feed does not set");
    const std::vector<double> values[] = {
        {feed.temperature}, {feed.pressure}, {feed.totalFlow}, fractions, flows};
    bool ok = true;
    for (size_t k = 0; k < std::size(props) && ok; ++k) {
        const auto& [property, basis] = props[k];
        ok = SUCCEEDED(HostCall(
            port.name + L": " + thermo_.SetCall() + L" " + property + L" " + Numbers(values[k]),
            [&] { return thermo_.Set(port.object, property, basis, values[k]); }));
    }
    // 1.1: the stream's phases present and at equilibrium, as simulators hand
    // units flashed streams.
    if (ok && thermo_.v11) {
        std::vector<std::wstring> labels;
        ok = SUCCEEDED(HostCall(
                 port.name + L": SetPresentPhases, each phase of GetPhaseList",
                 [&] { return thermo_.PresentAllPhases(port.object, &labels); },
                 [&] {
                     std::wstring shown;
                     for (const std::wstring& label : labels) shown += L" " + label;
                     return L"present:" + shown;
                 })) &&
             SUCCEEDED(HostCall(port.name + L": CalcEquilibrium at temperature and pressure",
                                [&] { return thermo_.FlashTP(port.object); }));
    }
    if (!ok) verdict_.HostError(L"the feed state of port " + port.name + L" was refused");
    return ok;
}

void Session::Connect(Port& port) {
    const HRESULT hr = Step(
        port.name + L": Connect", port.port, [&] { return port.port->Connect(port.passThrough); },
        {}, port.name);
    port.connected = SUCCEEDED(hr);
    if (!port.connected) {
        if (declaresThermo_)
            verdict_.Add({port.name, L"thermo-claim",
                          std::wstring(L"the unit declares thermo ") + thermo_.Version() +
                              L", yet its Connect refused a " + thermo_.ClassName()});
        return;
    }
    // What connectedObject hands out carries a reference of the unit's, to
    // be given back; the object connected is known by its pointers alone.
    IDispatch* connected = nullptr;
    const HandedOut handedOut(*record_);
    bool same = false, addRefed = true;
    if (SUCCEEDED(Step(
            port.name + L": get connectedObject", port.port,
            [&] { return port.port->get_connectedObject(&connected); },
            [&] {
                same = connected && record_->Find(connected) == port.record;
                addRefed = handedOut.AddRefed(connected);
                return std::wstring(same        ? L"the object connected"
                                    : connected ? L"another object"
                                                : L"no object") +
                       (addRefed ? L"" : L", handed out without AddRef");
            },
            port.name))) {
        if (!same)
            verdict_.Add(
                {port.name, L"wrong-connected",
                 connected ? L"connectedObject is another object" : L"connectedObject is none"});
        if (!addRefed)
            verdict_.Add({port.name, L"connected-not-addrefed",
                          L"get_connectedObject handed out the object without AddRef"});
    }
    handedOut.GiveBack(connected);
}

}  // namespace korvid::validate
