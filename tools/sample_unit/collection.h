// A CAPE-OPEN collection over a vector: Item by 1-based index or by the
// item's ComponentName, Count.
#pragma once

#include <vector>

#include <wrl/client.h>

#include "tools/sample_unit/cape_object.h"

namespace korvid::sample_unit {

class Collection final : public CapeObject {
public:
    // A new empty collection of `itemKind` ("port"), one reference held by the caller.
    static Collection* Create(const wchar_t* name, const wchar_t* description,
                              const wchar_t* itemKind);

    IDispatch* Default() override { return &collection_; }
    void Add(CapeObject* item) { items_.emplace_back(item); }
    CapeObject& At(size_t k) const { return *items_[k].Get(); }
    size_t Size() const { return items_.size(); }
    // The item-none fault: Item by name answers S_OK with no object.
    void AnswerNoneByName() { noneByName_ = true; }

private:
    class Items final : public Part<ICapeCollection> {
    public:
        explicit Items(Collection* owner) : Part(owner, L"ICapeCollection") {}
        HRESULT STDMETHODCALLTYPE Item(VARIANT id, IDispatch** item) override;
        HRESULT STDMETHODCALLTYPE Count(long* count) override;

    private:
        Collection& Self() { return *static_cast<Collection*>(owner_); }
    };

    Collection(const wchar_t* name, const wchar_t* description, const wchar_t* itemKind);
    IUnknown* Find(REFIID iid) override;
    CapeObject& Item(const VARIANT& id) const;

    const wchar_t* itemKind_;
    bool noneByName_ = false;
    std::vector<Microsoft::WRL::ComPtr<CapeObject>> items_;
    Items collection_{this};
};

}  // namespace korvid::sample_unit
