// A material port of the flash drum: an ICapeUnitPort that takes an object
// answering ICapeThermoMaterialObject.
#pragma once

#include <memory>

#include <wrl/client.h>

#include "Korvid_h.h"
#include "tools/sample_unit/cape_object.h"
#include "tools/sample_unit/drum_state.h"

namespace korvid::sample_unit {

class Port final : public CapeObject {
public:
    // A new port, one reference held by the caller.
    static Port* Create(const wchar_t* name, const wchar_t* description,
                        CapePortDirection direction, std::shared_ptr<DrumState> state);

    IDispatch* Default() override { return &unitPort_; }
    // The connected material object, or nullptr.
    ICapeThermoMaterialObject* Material() const { return material_.Get(); }
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
    Microsoft::WRL::ComPtr<ICapeThermoMaterialObject> material_;
    UnitPort unitPort_{this};
};

}  // namespace korvid::sample_unit
