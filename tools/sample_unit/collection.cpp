#include "tools/sample_unit/collection.h"

#include <string>

namespace korvid::sample_unit {

Collection* Collection::Create(const wchar_t* name, const wchar_t* description,
                               const wchar_t* itemKind) {
    return new Collection(name, description, itemKind);
}

Collection::Collection(const wchar_t* name, const wchar_t* description, const wchar_t* itemKind)
    : CapeObject(name, description, L"Korvid::SampleFlashDrum::Collection"),
      itemKind_(itemKind) {}

IUnknown* Collection::Find(REFIID iid) {
    return IsEqualIID(iid, IID_ICapeCollection) ? &collection_ : nullptr;
}

CapeObject& Collection::Item(const VARIANT& id) const {
    const std::wstring usage =
        L"Item takes a 1-based index or the name of a " + std::wstring(itemKind_) + L".";
    VARIANT value;
    VariantInit(&value);
    if (FAILED(VariantCopyInd(&value, const_cast<VARIANT*>(&id)))) Fail(CapeErrorKind::InvalidArgument, usage);
    if (value.vt == VT_BSTR) {
        const std::wstring name = value.bstrVal ? value.bstrVal : L"";
        VariantClear(&value);
        for (const auto& item : items_) {
            if (CompareStringOrdinal(item->Name().c_str(), -1, name.c_str(), -1, TRUE) ==
                CSTR_EQUAL) {
                return *item.Get();
            }
        }
        Fail(CapeErrorKind::InvalidArgument,
             L"There is no " + std::wstring(itemKind_) + L" named \"" + name + L"\".");
    }
    const HRESULT converted = VariantChangeType(&value, &value, 0, VT_I4);
    const LONG index = value.lVal;
    VariantClear(&value);
    if (FAILED(converted)) Fail(CapeErrorKind::InvalidArgument, usage);
    if (index < 1 || static_cast<size_t>(index) > items_.size()) {
        Fail(CapeErrorKind::OutOfBounds, L"There is no " + std::wstring(itemKind_) + L" " +
                                             std::to_wstring(index) + L": they are numbered 1 to " +
                                             std::to_wstring(items_.size()) + L".");
    }
    return *items_[index - 1].Get();
}

HRESULT Collection::Items::Item(VARIANT id, IDispatch** item) {
    return Out(L"Item", item, [&]() -> IDispatch* {
        if (Self().noneByName_ && id.vt == VT_BSTR) return nullptr;
        IDispatch* found = Self().Item(id).Default();
        found->AddRef();
        return found;
    });
}

HRESULT Collection::Items::Count(long* count) {
    return Out(L"Count", count, [&] { return static_cast<long>(Self().items_.size()); });
}

}  // namespace korvid::sample_unit
