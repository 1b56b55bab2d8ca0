#pragma once
// Weak handles to scene objects. Every object owns a life token; event
// records, call frames and other objects keep weak references to it, so they
// tell an object that has gone from one that was never there, and never
// reach freed memory.

#include <memory>
#include <string>

namespace kest {

class TKestObject;

struct TObjectLife {
  std::string Name;
  // Cleared when the object is destroyed, even while someone holds the token.
  TKestObject* Object = nullptr;
};
using TObjectHandle = std::shared_ptr<TObjectLife>;

class TObjectRef {
 public:
  TObjectRef() = default;
  explicit TObjectRef(const TObjectHandle& life) : FLife(life), FKey(life.get()), FSet(life != nullptr) {}
  // Some object was named, whether or not it still exists.
  bool IsSet() const { return FSet; }
  // The object's name; empty when unset or gone.
  std::string Name() const;
  TObjectHandle Lock() const { return FLife.lock(); }
  // The object, or null when unset or gone.
  TKestObject* Get() const;
  // The token itself, for identity only (never dereferenced once gone).
  const TObjectLife* Key() const { return FKey; }

 private:
  std::weak_ptr<TObjectLife> FLife;
  const TObjectLife* FKey = nullptr;
  bool FSet = false;
};

}  // namespace kest
