// The check `persistence`: a host saves the unit with its flowsheet and
// loads it into a new instance when the flowsheet is opened again. The
// life's unit was made new (InitNew) right after its creation; after its
// solve it is renamed as hosts name their units, its input parameters are
// edited and it is solved again, then saved (Save with the dirty
// flag cleared, then IsDirty must answer S_FALSE, GetSizeMax), and a new
// instance loads the stream before Initialize and lives the same life with
// new material objects and the same feeds. What it shows must match what the
// saved unit showed, value by value. Through IPersistStreamInit where the
// unit answers it, else IPersistStream.
#include <algorithm>
#include <tuple>

#include "tools/validate/com_values.h"
#include "tools/validate/output.h"
#include "tools/validate/session.h"

namespace korvid::validate {

namespace {

// IPersistStreamInit and IPersistStream share Load, Save, IsDirty and
// GetSizeMax; `I` is the one the unit answers.
template <typename I>
struct Persisted {
    I* object;
    HRESULT Load(IStream* stream) { return object->Load(stream); }
    HRESULT Save(IStream* stream) { return object->Save(stream, TRUE); }
    HRESULT IsDirty() { return object->IsDirty(); }
    HRESULT GetSizeMax(ULARGE_INTEGER* size) { return object->GetSizeMax(size); }
};

}  // namespace

bool Session::StartPersistence() {
    unit_->QueryInterface(IID_PPV_ARGS(&persistInit_));
    if (!persistInit_) unit_->QueryInterface(IID_PPV_ARGS(&persist_));
    if (persistInit_ && !load_)
        Step(L"InitNew", persistInit_, [&] { return persistInit_->InitNew(); });
    if (!load_) return true;
    loaded_ = persistInit_ ? Step(L"Load", persistInit_, [&] { return persistInit_->Load(load_); })
              : persist_   ? Step(L"Load", persist_, [&] { return persist_->Load(load_); })
                           : E_NOINTERFACE;
    if (SUCCEEDED(loaded_)) return true;
    // A unit that cannot be loaded is not opened: released without more.
    Drop(persistInit_);
    Drop(persist_);
    Drop(utilities_);
    Line(L"release the unit: " + std::to_wstring(unit_->Release()) + L" references left");
    unit_ = nullptr;
    return false;
}

std::vector<std::pair<std::wstring, std::wstring>> Session::Capture() {
    std::vector<std::pair<std::wstring, std::wstring>> facts;
    ICapeIdentification* identification = nullptr;
    if (SUCCEEDED(unit_->QueryInterface(IID_PPV_ARGS(&identification)))) {
        for (bool name : {true, false}) {
            BSTR text = nullptr;
            const HRESULT hr = name ? identification->get_ComponentName(&text)
                                    : identification->get_ComponentDescription(&text);
            facts.push_back({name ? L"ComponentName" : L"ComponentDescription",
                             SUCCEEDED(hr) ? Quoted(text) : Hex(hr)});
            SysFreeString(text);
        }
        identification->Release();
    }
    for (const auto& [name, value] : ParameterValues())
        facts.push_back({L"parameter " + name, value});
    for (const Port& port : ports_) {
        facts.push_back({L"port " + port.name,
                         Enumerated(port.type, {L"material", L"energy", L"information", L"any"}) +
                             L" " +
                             Enumerated(port.direction, {L"inlet", L"outlet", L"inlet-outlet"})});
        for (size_t k = 0; k < port.readBack.size(); ++k)
            facts.push_back({port.name + L" " + kStateProps[k].first, port.readBack[k]});
    }
    facts.push_back({L"Validate", validation_});
    return facts;
}

std::wstring Session::CheckPersistence() {
    if (!persistInit_ && !persist_)
        return L"the unit answers neither IPersistStreamInit nor IPersistStream";
    const std::wstring through = persistInit_ ? L"IPersistStreamInit" : L"IPersistStream";
    auto failed = [&](const std::wstring& what, HRESULT hr) {
        verdict_.Add({L"unit", L"persistence-failed", through + L"::" + what + L" " + Hex(hr)});
    };
    ICapeIdentification* identification = nullptr;
    if (SUCCEEDED(unit_->QueryInterface(IID_PPV_ARGS(&identification)))) {
        BSTR name = SysAllocString(L"U-1");
        Step(L"put ComponentName \"U-1\" (as a host names its units)", identification,
             [&] { return identification->put_ComponentName(name); });
        SysFreeString(name);
        identification->Release();
    }
    // As a person edits a unit before saving it: its inputs changed and the
    // unit solved again, so that the loaded instance must bring back more
    // than its defaults. The life's read-back stays what the record is
    // judged by.
    std::vector<std::pair<std::vector<std::wstring>, std::wstring>> life;
    for (const Port& port : ports_) life.push_back({port.readBack, port.unset});
    if (calculated_ && Handled() && EditParameters() > 0) {
        Line(L"Solved again with them:");
        validation_ = ValidateUnit().shown;
        record_->calculating = true;
        const HRESULT solved = Step(L"Calculate", unit_, [&] { return unit_->Calculate(); });
        record_->calculating = false;
        for (Port& port : ports_) {
            if (!SUCCEEDED(solved) || !port.connected || port.direction != CAPE_OUTLET) continue;
            port.readBack.clear();
            port.unset.clear();
            ReadBack(port);
        }
    }
    const auto saved = Capture();
    for (size_t k = 0; k < ports_.size(); ++k)
        std::tie(ports_[k].readBack, ports_[k].unset) = life[k];
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        verdict_.HostError(L"no stream in memory for the persistence check");
        return {};
    }
    ULARGE_INTEGER size{};
    HRESULT dirty = S_OK;
    auto save = [&](auto persisted) {
        const HRESULT hr = Step(through + L"::Save(stream, TRUE)", persisted.object,
                                [&] { return persisted.Save(stream); });
        if (FAILED(hr)) return failed(L"Save", hr);
        Step(
            through + L"::IsDirty", persisted.object, [&] { return dirty = persisted.IsDirty(); },
            [&] { return std::wstring(dirty == S_FALSE ? L"S_FALSE (clean)" : L"S_OK (dirty)"); });
        if (FAILED(dirty)) failed(L"IsDirty", dirty);
        if (dirty == S_OK)
            verdict_.Add({L"unit", L"dirty-after-save",
                          through + L"::IsDirty answered S_OK after Save(stream, TRUE)"});
        const HRESULT sized = Step(
            through + L"::GetSizeMax", persisted.object,
            [&] { return persisted.GetSizeMax(&size); },
            [&] { return std::to_wstring(size.QuadPart) + L" bytes"; });
        if (FAILED(sized)) failed(L"GetSizeMax", sized);
    };
    persistInit_ ? save(Persisted<IPersistStreamInit>{persistInit_})
                 : save(Persisted<IPersistStream>{persist_});
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    Line(L"the stream holds " + std::to_wstring(stat.cbSize.QuadPart) + L" bytes");
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    Line(L"A new instance loads the stream and lives the same life:");
    Options loading = options_;
    loading.checks.clear();
    loading.reportPrefix += L"-loaded";
    // The life judged the unit's ways already: of the second, only what
    // persistence changes counts.
    Session loaded(loading, verdict_, stream);
    verdict_.Mute(true);
    loaded.Run();
    verdict_.Mute(false);
    stream->Release();
    if (FAILED(loaded.loaded_)) {
        verdict_.Failure(through + L"::Load", Hex(loaded.loaded_));
        failed(L"Load", loaded.loaded_);
        return {};
    }
    // What differs, value by value.
    const auto& facts = loaded.loadedFacts_;
    for (const auto& [key, value] : saved) {
        const auto found = std::find_if(facts.begin(), facts.end(),
                                        [&](const auto& fact) { return fact.first == key; });
        const std::wstring now = found == facts.end() ? L"none" : found->second;
        if (now != value)
            verdict_.Add({L"unit", L"persistence-lost",
                          key + L": " + value + L" saved, " + now + L" loaded"});
    }
    return {};
}

}  // namespace korvid::validate
