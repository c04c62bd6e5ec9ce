#include "tools/sample_unit/port.h"

#include <vector>

namespace korvid::sample_unit {

namespace {

// The keeps-object fault: references that nothing ever releases.
std::vector<IDispatch*>& Kept() {
    static auto* kept = new std::vector<IDispatch*>;
    return *kept;
}

}  // namespace

Port* Port::Create(const wchar_t* name, const wchar_t* description, CapePortDirection direction,
                   std::shared_ptr<DrumState> state) {
    return new Port(name, description, direction, std::move(state));
}

Port::Port(const wchar_t* name, const wchar_t* description, CapePortDirection direction,
           std::shared_ptr<DrumState> state)
    : CapeObject(name, description, L"Korvid::SampleFlashDrum::Port"),
      direction_(direction),
      state_(std::move(state)) {}

IUnknown* Port::Find(REFIID iid) {
    return IsEqualIID(iid, IID_ICapeUnitPort) ? &unitPort_ : nullptr;
}

void Port::Connect(IDispatch* object) {
    if (!object) Fail(CapeErrorKind::InvalidArgument, L"Port " + Name() + L" was given no object.");
    // 1.1 first, as most units ask; 0.9 when the object answers only that.
    Microsoft::WRL::ComPtr<ICapeThermoMaterial> material11;
    Microsoft::WRL::ComPtr<ICapeThermoMaterialObject> material;
    if (FAILED(object->QueryInterface(IID_ICapeThermoMaterial,
                                      reinterpret_cast<void**>(material11.GetAddressOf()))) &&
        FAILED(object->QueryInterface(IID_ICapeThermoMaterialObject,
                                      reinterpret_cast<void**>(material.GetAddressOf())))) {
        Fail(CapeErrorKind::InvalidArgument,
             L"Port " + Name() +
                 L" takes a material object: the object answers neither ICapeThermoMaterial nor "
                 L"ICapeThermoMaterialObject.");
    }
    if (material11 && state_->fault == Fault::Refuses11)
        Fail(CapeErrorKind::InvalidArgument,
             L"Port " + Name() + L" takes no CAPE-OPEN 1.1 material object.");
    if (state_->fault == Fault::NoReconnect && disconnected_)
        Fail(CapeErrorKind::BadInvOrder, L"Port " + Name() + L" connects once.");
    Disconnect();
    object_ = object;
    material11_ = material11;
    material_ = material;
    ++state_->changes;
}

std::unique_ptr<Material> Port::Use() const {
    const bool literalText = state_->fault == Fault::LiteralText;
    if (material11_) return Material11(material11_.Get(), Name(), literalText);
    return Material09(material_.Get(), Name(), literalText);
}

void Port::Disconnect() {
    if (!object_) return;
    if (state_->fault == Fault::KeepsObject) {
        object_->AddRef();
        Kept().push_back(object_.Get());
    }
    if (state_->fault == Fault::OverRelease) object_->Release();
    object_.Reset();
    disconnected_ = true;
    material11_.Reset();
    material_.Reset();
    ++state_->changes;
}

IDispatch* Port::Answered() const {
    if (state_->fault != Fault::WrongConnected || !object_) return object_.Get();
    // The next port's object that is another one.
    const auto& ports = state_->ports;
    for (size_t k = 0; k < ports.size(); ++k) {
        if (ports[k] != this) continue;
        for (size_t step = 1; step < ports.size(); ++step) {
            IDispatch* other = ports[(k + step) % ports.size()]->object_.Get();
            if (other && other != object_.Get()) return other;
        }
    }
    return const_cast<Port*>(this)->Default();
}

HRESULT Port::UnitPort::get_portType(CapePortType* type) {
    return Out(L"get_portType", type, [] { return CAPE_MATERIAL; });
}

HRESULT Port::UnitPort::get_direction(CapePortDirection* direction) {
    return Out(L"get_direction", direction, [&] { return Self().direction_; });
}

HRESULT Port::UnitPort::get_connectedObject(IDispatch** object) {
    return Out(L"get_connectedObject", object, [&] {
        IDispatch* answered = Self().Answered();
        if (answered && Self().state_->fault != Fault::NoAddRef) answered->AddRef();
        return answered;
    });
}

HRESULT Port::UnitPort::Connect(IDispatch* object) {
    return Run(L"Connect", [&] { Self().Connect(object); });
}

HRESULT Port::UnitPort::Disconnect() {
    return Run(L"Disconnect", [&] { Self().Disconnect(); });
}

}  // namespace korvid::sample_unit
