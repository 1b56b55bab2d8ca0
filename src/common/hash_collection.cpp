#include "common/hash_collection.h"

#include <algorithm>

#include "common/errors.h"

namespace kest {
namespace {

constexpr size_t kInitialBuckets = 256;

}  // namespace

THashCollectionItem::~THashCollectionItem() {
  if (FCollection) FCollection->Detach(this);
}

int32_t THashCollectionItem::HashIndex() const {
  return FCollection ? static_cast<int32_t>(FHash & FCollection->FMask) : 0;
}

void THashCollectionItem::SetName(std::string_view value) {
  if (value == FName) return;
  if (!FCollection) {
    FName = value;
    return;
  }
  Unlink();
  FName = value;
  LinkHash();
}

void THashCollectionItem::Assign(const THashCollectionItem& source) { SetName(source.FName); }

std::string THashCollectionItem::DisplayName() const { return FName.empty() ? DefaultDisplayName() : FName; }

void THashCollectionItem::SetIndex(int32_t value) {
  if (!FCollection || value == FCachedIndex) return;
  auto& items = FCollection->FItems;
  if (value < 0 || value >= static_cast<int32_t>(items.size())) throw EKestError("Error:THashCollection.SetIndex");
  const auto from = items.begin() + FCachedIndex;
  const auto to = items.begin() + value;
  if (value < FCachedIndex) {
    std::rotate(to, from, from + 1);
  } else {
    std::rotate(from, from + 1, to + 1);
  }
  const int32_t first = std::min(value, FCachedIndex);
  const int32_t last = std::max(value, FCachedIndex);
  for (int32_t i = first; i <= last; ++i) items[static_cast<size_t>(i)]->FCachedIndex = i;
}

void THashCollectionItem::Relink() {
  if (!FCollection) return;
  Unlink();
  LinkHash();
}

void THashCollectionItem::LinkHash() {
  FHash = NameHash(FName);
  FCollection->LinkAtHead(this);
}

void THashCollectionItem::Unlink() {
  if (FPrevInChain) {
    FPrevInChain->FNextInChain = FNextInChain;
  } else if (FCollection) {
    FCollection->FBuckets[FHash & FCollection->FMask] = FNextInChain;
  }
  if (FNextInChain) FNextInChain->FPrevInChain = FPrevInChain;
  FPrevInChain = nullptr;
  FNextInChain = nullptr;
}

THashCollection::THashCollection() : FBuckets(kInitialBuckets, nullptr), FMask(kInitialBuckets - 1) {}

THashCollection::~THashCollection() { Clear(); }

int32_t THashCollection::IndexOf(std::string_view name) const {
  const THashCollectionItem* item = Find(name);
  return item ? item->FCachedIndex : -1;
}

THashCollectionItem* THashCollection::Find(std::string_view name) const {
  const THashKey key(name);
  for (THashCollectionItem* item = FBuckets[key.Hash & FMask]; item; item = item->FNextInChain) {
    if (item->Matches(key)) return item;
  }
  return nullptr;
}

std::unique_ptr<THashCollectionItem> THashCollection::CreateItem() { return std::make_unique<THashCollectionItem>(); }

THashCollectionItem* THashCollection::Add() {
  std::unique_ptr<THashCollectionItem> item = CreateItem();
  if (!item) throw EKestError("Error:THashCollection.Add");
  return Adopt(std::move(item));
}

THashCollectionItem* THashCollection::AddNamed(std::string_view name) {
  THashCollectionItem* item = Add();
  item->SetName(name);
  return item;
}

THashCollectionItem* THashCollection::Adopt(std::unique_ptr<THashCollectionItem> owned) {
  THashCollectionItem* item = owned.get();
  if (!item || item->FCollection) throw EKestError("Error:THashCollection.Add");
  FItems.push_back(item);
  owned.release();
  item->FCollection = this;
  item->FCachedIndex = static_cast<int32_t>(FItems.size() - 1);
  if (FItems.size() * 2 > FBuckets.size()) Grow();
  item->LinkHash();
  return item;
}

void THashCollection::Delete(int32_t index) { Remove(Items(index)); }

void THashCollection::Remove(THashCollectionItem* item) {
  if (!item) return;
  if (item->FCollection != this) throw EKestError("Error:THashCollection.Remove");
  delete item;
}

void THashCollection::Clear() {
  while (!FItems.empty()) Remove(FItems.back());
}

void THashCollection::Assign(const THashCollection& source) {
  if (&source == this) return;
  Clear();
  for (const THashCollectionItem* from : source.FItems) Add()->Assign(*from);
}

THashCollectionItem* THashCollection::Items(int32_t index) const {
  if (index < 0 || index >= Count()) throw EKestError("Error:THashCollection.Items");
  return FItems[static_cast<size_t>(index)];
}

void THashCollection::LinkAtHead(THashCollectionItem* item) {
  THashCollectionItem*& head = FBuckets[item->FHash & FMask];
  item->FPrevInChain = nullptr;
  item->FNextInChain = head;
  if (head) head->FPrevInChain = item;
  head = item;
}

// Removing an item costs one pass over the items behind it; clearing goes from
// the last item, where that pass is empty.
void THashCollection::Detach(THashCollectionItem* item) {
  const auto position = FItems.begin() + item->FCachedIndex;
  for (auto it = position + 1; it != FItems.end(); ++it) --(*it)->FCachedIndex;
  item->Unlink();
  FItems.erase(position);
  item->FCollection = nullptr;
  item->FCachedIndex = -1;
}

// Relinking each old chain from its tail keeps the chain order of every pair of
// items that share a new chain; equal names always do.
void THashCollection::Grow() {
  std::vector<THashCollectionItem*> old(FBuckets.size() * 2, nullptr);
  old.swap(FBuckets);
  FMask = static_cast<uint32_t>(FBuckets.size() - 1);
  for (THashCollectionItem* tail : old) {
    if (!tail) continue;
    while (tail->FNextInChain) tail = tail->FNextInChain;
    for (THashCollectionItem* item = tail; item;) {
      THashCollectionItem* previous = item->FPrevInChain;
      LinkAtHead(item);
      item = previous;
    }
  }
}

}  // namespace kest
