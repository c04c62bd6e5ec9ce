// The sample unit operation: a flash drum with one material inlet "Feed" and
// two material outlets "Vapour" and "Liquid", and two real parameters, its
// temperature and the share of the feed that leaves as vapour.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wrl/client.h>

#include "tools/sample_unit/cape_object.h"
#include "tools/sample_unit/collection.h"
#include "tools/sample_unit/drum_state.h"

namespace korvid::sample_unit {

class Port;
class RealParameter;

class FlashDrum final : public CapeObject {
public:
    // A new unit, one reference held by the caller.
    static FlashDrum* Create();

    IDispatch* Default() override { return &unit_; }

private:
    class Unit final : public Part<ICapeUnit> {
    public:
        explicit Unit(FlashDrum* drum) : Part(drum, L"ICapeUnit") {}
        HRESULT STDMETHODCALLTYPE get_ports(IDispatch** ports) override;
        HRESULT STDMETHODCALLTYPE get_ValStatus(CapeValidationStatus* status) override;
        HRESULT STDMETHODCALLTYPE Calculate() override;
        HRESULT STDMETHODCALLTYPE Validate(BSTR* message, VARIANT_BOOL* isValid) override;

    private:
        FlashDrum& Self() { return *static_cast<FlashDrum*>(owner_); }
    };
    class Utilities final : public Part<ICapeUtilities> {
    public:
        explicit Utilities(FlashDrum* drum) : Part(drum, L"ICapeUtilities") {}
        HRESULT STDMETHODCALLTYPE get_parameters(IDispatch** parameters) override;
        HRESULT STDMETHODCALLTYPE put_simulationContext(IDispatch* context) override;
        HRESULT STDMETHODCALLTYPE Initialize() override;
        HRESULT STDMETHODCALLTYPE Terminate() override;
        HRESULT STDMETHODCALLTYPE Edit() override;

    private:
        FlashDrum& Self() { return *static_cast<FlashDrum*>(owner_); }
    };

    // Two reports: "Summary" (the default) and "Streams" (report.cpp).
    class Report final : public Part<ICapeUnitReport> {
    public:
        explicit Report(FlashDrum* drum) : Part(drum, L"ICapeUnitReport") {}
        HRESULT STDMETHODCALLTYPE get_reports(VARIANT* reports) override;
        HRESULT STDMETHODCALLTYPE get_selectedReport(BSTR* report) override;
        HRESULT STDMETHODCALLTYPE put_selectedReport(BSTR report) override;
        HRESULT STDMETHODCALLTYPE ProduceReport(BSTR* message) override;

    private:
        FlashDrum& Self() { return *static_cast<FlashDrum*>(owner_); }
    };
    // IPersistStreamInit (persistence.cpp): the unit's name, description and
    // parameter values.
    class Persistence final : public IPersistStreamInit {
    public:
        explicit Persistence(FlashDrum* drum) : drum_(drum) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
            return drum_->QueryInterface(iid, out);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return drum_->AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return drum_->Release(); }
        HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
        HRESULT STDMETHODCALLTYPE IsDirty() override;
        HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
        HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
        HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
        HRESULT STDMETHODCALLTYPE InitNew() override;

    private:
        template <typename Body>
        HRESULT Run(const wchar_t* operation, Body&& body) {
            return drum_->Run(IID_IPersistStreamInit, L"IPersistStreamInit", operation,
                              std::forward<Body>(body));
        }
        FlashDrum* drum_;
    };
    // What a save holds.
    struct Saved {
        std::wstring name, description;
        std::vector<double> values;
        bool operator==(const Saved& other) const {
            return name == other.name && description == other.description &&
                   values == other.values;
        }
    };
    Saved Current() const;
    void Restore(const Saved& saved);

    FlashDrum();
    ~FlashDrum() override;
    IUnknown* Find(REFIID iid) override;

    // Refuses every operation but Initialize before it, and all after Terminate.
    void NeedInitialized(const wchar_t* operation) const;
    void Initialize();
    void Terminate();
    // Whether ports and parameters allow a calculation; why not in `message`.
    bool Check(std::wstring* message);
    void Calculate();
    Port& PortAt(size_t k) const;
    RealParameter& ParameterAt(size_t k) const;

    enum class Stage { Created, Initialized, Terminated };
    Stage stage_ = Stage::Created;
    std::shared_ptr<DrumState> state_ = std::make_shared<DrumState>();
    Microsoft::WRL::ComPtr<Collection> ports_;
    Microsoft::WRL::ComPtr<Collection> parameters_;
    Microsoft::WRL::ComPtr<IDispatch> context_;
    // ValStatus: the last Validate's result while nothing changed since.
    bool validated_ = false;
    bool valid_ = false;
    unsigned validatedAt_ = 0;
    unsigned solves_ = 0;  // the drifts fault's count
    // The parameter values until Initialize makes the parameters.
    std::vector<double> values_;
    // As last saved, loaded or made new (IsDirty compares); none before.
    std::optional<Saved> clean_;
    Unit unit_{this};
    Utilities utilities_{this};
    Persistence persistence_{this};
    Report report_{this};
    std::wstring selectedReport_;  // empty: the default
};

}  // namespace korvid::sample_unit
