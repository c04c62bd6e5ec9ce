// A material port of the flash drum: an ICapeUnitPort that takes an object
// answering ICapeThermoMaterial (CAPE-OPEN 1.1), else one answering
// ICapeThermoMaterialObject (0.9).
#pragma once

#include <memory>

#include <wrl/client.h>

#include "tools/sample_unit/cape_object.h"
#include "tools/sample_unit/drum_state.h"
#include "tools/sample_unit/material.h"

namespace korvid::sample_unit {

class Port final : public CapeObject {
public:
    // A new port, one reference held by the caller.
    static Port* Create(const wchar_t* name, const wchar_t* description,
                        CapePortDirection direction, std::shared_ptr<DrumState> state);

    IDispatch* Default() override { return &unitPort_; }
    bool Connected() const { return object_ != nullptr; }
    // The drum's calls of the connected object, through the version it answered.
    std::unique_ptr<sample_unit::Material> Use() const;
    void Connect(IDispatch* object);
    void Disconnect();

private:
    class UnitPort final : public Part<ICapeUnitPort> {
    public:
        explicit UnitPort(Port* port) : Part(port, L"ICapeUnitPort") {}
        HRESULT STDMETHODCALLTYPE get_portType(CapePortType* type) override;
        HRESULT STDMETHODCALLTYPE get_direction(CapePortDirection* direction) override;
        HRESULT STDMETHODCALLTYPE get_connectedObject(IDispatch** object) override;
        HRESULT STDMETHODCALLTYPE Connect(IDispatch* object) override;
        HRESULT STDMETHODCALLTYPE Disconnect() override;

    private:
        Port& Self() { return *static_cast<Port*>(owner_); }
    };

    Port(const wchar_t* name, const wchar_t* description, CapePortDirection direction,
         std::shared_ptr<DrumState> state);
    IUnknown* Find(REFIID iid) override;
    // What connectedObject answers.
    IDispatch* Answered() const;

    CapePortDirection direction_;
    std::shared_ptr<DrumState> state_;
    Microsoft::WRL::ComPtr<IDispatch> object_;
    bool disconnected_ = false;  // the no-reconnect fault's memory
    Microsoft::WRL::ComPtr<ICapeThermoMaterial> material11_;  // asked for first
    Microsoft::WRL::ComPtr<ICapeThermoMaterialObject> material_;
    UnitPort unitPort_{this};
};

}  // namespace korvid::sample_unit
