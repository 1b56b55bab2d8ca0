#pragma once
// The named collections under the archive index, the variable store, the image
// cache and the read marks: items in creation order, found by name through
// hash chains, each item knowing its own position so a lookup costs one hash
// and one short walk.
//
// Items belong to their collection. Derived collections override CreateItem so
// that Add and AddNamed make their own item class; Remove (or Delete by
// position) takes an item out of the collection and frees it.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/sjis.h"

namespace kest {

class THashCollection;

// A name with its hash computed once, for walking a chain by hand.
struct THashKey {
  explicit THashKey(std::string_view name) : Name(name), Hash(NameHash(name)) {}
  std::string_view Name;
  uint32_t Hash;
};

class THashCollectionItem {
 public:
  THashCollectionItem() = default;
  THashCollectionItem(const THashCollectionItem&) = delete;
  THashCollectionItem& operator=(const THashCollectionItem&) = delete;
  virtual ~THashCollectionItem();

  THashCollection* Collection() const { return FCollection; }
  const std::string& Name() const { return FName; }
  // The item's position in its collection.
  int32_t CachedIndex() const { return FCachedIndex; }
  int32_t Index() const { return FCachedIndex; }
  // The bucket the item is linked into.
  int32_t HashIndex() const;
  THashCollectionItem* PrevInChain() const { return FPrevInChain; }
  THashCollectionItem* NextInChain() const { return FNextInChain; }
  bool Matches(const THashKey& key) const { return FHash == key.Hash && SameName(FName, key.Name); }

  // A change of case is a change: the item moves to the head of its chain, so
  // it is the one found among names that are the same ignoring case.
  virtual void SetName(std::string_view value);
  // Copies the name only; derived items add their own fields.
  virtual void Assign(const THashCollectionItem& source);
  virtual std::string DisplayName() const;
  // Moves the item to another position; the items in between shift by one.
  void SetIndex(int32_t value);
  // Links the item at the head of its chain again, as if it were named now:
  // among equal names it becomes the one linked last.
  void Relink();

 protected:
  // Hashes the name and links the item at the head of that chain.
  virtual void LinkHash();
  void Unlink();
  virtual std::string DefaultDisplayName() const { return "THashCollectionItem"; }

 private:
  friend class THashCollection;

  // What a lookup reads comes first, to share a cache line with the vtable.
  THashCollectionItem* FNextInChain = nullptr;
  uint32_t FHash = 0;
  int32_t FCachedIndex = -1;
  std::string FName;
  THashCollectionItem* FPrevInChain = nullptr;
  THashCollection* FCollection = nullptr;
};

class THashCollection {
 public:
  THashCollection();
  THashCollection(const THashCollection&) = delete;
  THashCollection& operator=(const THashCollection&) = delete;
  // Derived collections whose items reach back into the derived part call
  // Clear in their own destructor.
  virtual ~THashCollection();

  // Position of the item with this name ignoring case, or -1. Among equal
  // names the one linked last wins.
  virtual int32_t IndexOf(std::string_view name) const;
  // The item the base rule of IndexOf finds, or nothing.
  THashCollectionItem* Find(std::string_view name) const;

  THashCollectionItem* Add();
  THashCollectionItem* AddNamed(std::string_view name);
  // Appends an item made elsewhere (for item classes that need arguments).
  THashCollectionItem* Adopt(std::unique_ptr<THashCollectionItem> item);
  void Delete(int32_t index);
  // Takes the item out and frees it; nothing for null. Raises for an item of
  // another collection.
  void Remove(THashCollectionItem* item);
  // Destroys the items from the last to the first.
  void Clear();
  // Replaces the items by new ones assigned from those of source.
  void Assign(const THashCollection& source);

  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  // Raises EKestError for a position outside 0..Count-1.
  THashCollectionItem* Items(int32_t index) const;
  THashCollectionItem* operator[](int32_t index) const { return FItems[static_cast<size_t>(index)]; }

  // The head of the chain that holds names like key's; walk it with NextInChain.
  THashCollectionItem* ChainHead(const THashKey& key) const { return FBuckets[key.Hash & FMask]; }
  int32_t BucketCount() const { return static_cast<int32_t>(FBuckets.size()); }

 protected:
  // The item class of Add and AddNamed; nothing means the class needs
  // arguments and its items come through Adopt.
  virtual std::unique_ptr<THashCollectionItem> CreateItem();

 private:
  friend class THashCollectionItem;

  void LinkAtHead(THashCollectionItem* item);
  void Detach(THashCollectionItem* item);
  void Grow();

  std::vector<THashCollectionItem*> FItems;
  // Starts at 256 buckets and doubles whenever the items fill half of them;
  // the order within a chain survives, so the newest of equal names stays first.
  std::vector<THashCollectionItem*> FBuckets;
  uint32_t FMask;
};

// A collection of one item class, with typed access.
template <typename TItem>
class TTypedHashCollection : public THashCollection {
 public:
  TItem* Add() { return static_cast<TItem*>(THashCollection::Add()); }
  TItem* AddNamed(std::string_view name) { return static_cast<TItem*>(THashCollection::AddNamed(name)); }
  TItem* Find(std::string_view name) const { return static_cast<TItem*>(THashCollection::Find(name)); }
  TItem* Items(int32_t index) const { return static_cast<TItem*>(THashCollection::Items(index)); }
  TItem* operator[](int32_t index) const { return static_cast<TItem*>(THashCollection::operator[](index)); }

 protected:
  std::unique_ptr<THashCollectionItem> CreateItem() override {
    if constexpr (std::is_default_constructible_v<TItem>) {
      return std::make_unique<TItem>();
    } else {
      return nullptr;
    }
  }
};

}  // namespace kest
