// The flash drum's IPersistStreamInit: a host saves the unit with its
// flowsheet and loads it into a new instance, before Initialize, when the
// flowsheet is opened again. The stream holds "KVFD", the format's version,
// the name, the description and the parameter values (little-endian, texts
// as a count of UTF-16 units and the units).
#include <cstdint>
#include <vector>

#include "KorvidSampleUnit_h.h"
#include "tools/sample_unit/flash_drum.h"

namespace korvid::sample_unit {

namespace {

constexpr uint32_t kMagic = 0x4446564B;  // "KVFD"
constexpr uint32_t kVersion = 1;

void Write(IStream* stream, const void* data, ULONG size) {
    ULONG written = 0;
    const HRESULT hr = stream->Write(data, size, &written);
    if (FAILED(hr) || written != size)
        Fail(CapeErrorKind::Unknown, L"The stream refused the unit's data.");
}

void Read(IStream* stream, void* data, ULONG size) {
    ULONG read = 0;
    const HRESULT hr = stream->Read(data, size, &read);
    if (FAILED(hr) || read != size)
        Fail(CapeErrorKind::InvalidArgument, L"The stream ends before the saved flash drum does.");
}

void WriteText(IStream* stream, const std::wstring& text) {
    const uint32_t count = static_cast<uint32_t>(text.size());
    Write(stream, &count, sizeof count);
    Write(stream, text.data(), count * sizeof(wchar_t));
}

std::wstring ReadText(IStream* stream) {
    uint32_t count = 0;
    Read(stream, &count, sizeof count);
    if (count > 1 << 20)
        Fail(CapeErrorKind::InvalidArgument, L"The stream holds no saved flash drum.");
    std::wstring text(count, L'\0');
    Read(stream, text.data(), count * sizeof(wchar_t));
    return text;
}

}  // namespace

HRESULT FlashDrum::Persistence::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_SampleFlashDrum;
    return S_OK;
}

HRESULT FlashDrum::Persistence::IsDirty() {
    return drum_->clean_ && *drum_->clean_ == drum_->Current() ? S_FALSE : S_OK;
}

HRESULT FlashDrum::Persistence::InitNew() {
    if (drum_->clean_) return E_UNEXPECTED;  // made new or loaded already
    drum_->clean_ = drum_->Current();
    return S_OK;
}

HRESULT FlashDrum::Persistence::Load(IStream* stream) {
    if (!stream) return E_POINTER;
    if (drum_->clean_) return E_UNEXPECTED;
    return Run(L"Load", [&] {
        const Fault fault =
            drum_->stage_ == Stage::Created ? FaultFromEnvironment() : drum_->state_->fault;
        if (fault == Fault::LoadFails)
            Fail(CapeErrorKind::Unknown, L"Load fails (the load-fails fault).");
        uint32_t head[2] = {};
        Read(stream, head, sizeof head);
        if (head[0] != kMagic || head[1] != kVersion)
            Fail(CapeErrorKind::InvalidArgument, L"The stream holds no saved flash drum.");
        Saved saved = drum_->Current();
        std::wstring name = ReadText(stream), description = ReadText(stream);
        uint32_t count = 0;
        Read(stream, &count, sizeof count);
        if (count != saved.values.size())
            Fail(CapeErrorKind::InvalidArgument, L"The stream holds another number of parameters.");
        std::vector<double> values(count);
        Read(stream, values.data(), count * sizeof(double));
        if (fault != Fault::ForgetsParameters) saved.values = std::move(values);
        if (fault != Fault::ForgetsName) {
            saved.name = std::move(name);
            saved.description = std::move(description);
        }
        drum_->Restore(saved);
        drum_->clean_ = saved;
    });
}

HRESULT FlashDrum::Persistence::Save(IStream* stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    return Run(L"Save", [&] {
        const Saved saved = drum_->Current();
        const uint32_t head[2] = {kMagic, kVersion};
        Write(stream, head, sizeof head);
        WriteText(stream, saved.name);
        WriteText(stream, saved.description);
        const uint32_t count = static_cast<uint32_t>(saved.values.size());
        Write(stream, &count, sizeof count);
        Write(stream, saved.values.data(), count * sizeof(double));
        if (clearDirty && drum_->state_->fault != Fault::StaysDirty) drum_->clean_ = saved;
    });
}

HRESULT FlashDrum::Persistence::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    const Saved saved = drum_->Current();
    size->QuadPart = 3 * sizeof(uint32_t) + 2 * sizeof(uint32_t) +
                     (saved.name.size() + saved.description.size()) * sizeof(wchar_t) +
                     saved.values.size() * sizeof(double);
    return S_OK;
}

}  // namespace korvid::sample_unit
