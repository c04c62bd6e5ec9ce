// The check `resolve`: a simulator solves a flowsheet again and again.
// Before each solve it may keep the connections, disconnect and reconnect
// every port, or (1.1) clear each outlet's stored state (ClearAllProps);
// then Validate and Calculate. Each solve's outlets must equal the first's
// (finding `resolve-differs`, value by value), and every port must take its
// object again (`reconnect-fails`).
#include "KorvidThermo11_h.h"
#include "tools/validate/com_values.h"
#include "tools/validate/output.h"
#include "tools/validate/session.h"

namespace korvid::validate {

std::wstring Session::CheckResolve() {
    if (!calculated_) return L"the life's Calculate did not succeed, so there is nothing to repeat";
    enum Round { kAgain, kReconnected, kCleared };
    const wchar_t* names[] = {L"again on the same connections", L"after Disconnect and Connect",
                              L"after ClearAllProps on every outlet"};
    for (const Round round : {kAgain, kReconnected, kCleared}) {
        if (round == kCleared && !thermo_.v11) continue;
        Line(std::wstring(L"Solve ") + names[round] + L":");
        for (Port& port : ports_) {
            if (!port.connected) continue;
            if (round == kReconnected) {
                HRESULT hr = Step(
                    port.name + L": Disconnect", port.port, [&] { return port.port->Disconnect(); },
                    {}, port.name);
                if (SUCCEEDED(hr)) {
                    hr = Step(
                        port.name + L": Connect", port.port,
                        [&] { return port.port->Connect(port.passThrough); }, {}, port.name);
                    port.connected = SUCCEEDED(hr);
                }
                if (FAILED(hr)) {
                    verdict_.Add({port.name, L"reconnect-fails",
                                  L"Disconnect and Connect again: " + Hex(hr)});
                }
            }
            if (round == kCleared && port.direction == CAPE_OUTLET) {
                ICapeThermoMaterial* material = nullptr;
                HostCall(port.name + L": ClearAllProps", [&] {
                    HRESULT hr = port.object->QueryInterface(IID_PPV_ARGS(&material));
                    if (SUCCEEDED(hr)) hr = material->ClearAllProps();
                    Drop(material);
                    return hr;
                });
            }
        }
        bool connected = true;
        for (const Port& port : ports_)
            connected = connected && (port.type != CAPE_MATERIAL || port.connected);
        if (!connected) {
            Line(L"Calculate: not called: a port did not connect again");
            continue;
        }
        ValidateUnit();
        record_->calculating = true;
        const HRESULT hr = Step(L"Calculate", unit_, [&] { return unit_->Calculate(); });
        record_->calculating = false;
        if (FAILED(hr)) {
            verdict_.Add({L"unit", L"resolve-differs",
                          std::wstring(L"Calculate ") + names[round] + L" failed: " + Hex(hr)});
            continue;
        }
        for (Port& port : ports_) {
            if (!port.connected || port.direction != CAPE_OUTLET) continue;
            // The life's read-back stays what the record is judged by.
            const std::vector<std::wstring> first = std::move(port.readBack);
            const std::wstring unset = port.unset;
            port.readBack.clear();
            ReadBack(port);
            for (size_t k = 0; k < first.size() && k < port.readBack.size(); ++k)
                if (first[k] != port.readBack[k])
                    verdict_.Add({port.name, L"resolve-differs",
                                  std::wstring(L"Calculate ") + names[round] + L": " +
                                      kStateProps[k].first + L" " + port.readBack[k] + L", first " +
                                      first[k]});
            port.readBack = first;
            port.unset = unset;
        }
    }
    return {};
}

}  // namespace korvid::validate
