#pragma once
// The root of every scene object and of the components that post events.
// Scripts never hold objects: they name them and read or write numbered
// properties, which every class answers through one getter and one setter.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "common/game_clock.h"
#include "scene/component_kinds.h"
#include "scene/object_handle.h"
#include "scene/property_table.h"

namespace kest {

class TKestBaseList;
class TKestControl;
class TKestParser;
class TStream;

// A property value, held in the alternative of its type (TPropType order).
using TPropValue = std::variant<int32_t, long double, bool, std::string>;

// The value an object that keeps nothing answers for a property.
TPropValue DefaultValue(const TPropertyInfo& info);
// The value a creating command gives a property its page stores empty.
TPropValue CreationValue(const TPropertyInfo& info);

// The page's expressions for the object a creating command made.
class ICreation {
 public:
  // The expression for a property id, or nothing when the page stores none.
  virtual TKestParser* Expression(int32_t id) = 0;

 protected:
  ~ICreation() = default;
};

class TKestObject {
 public:
  explicit TKestObject(TKestBaseList& scene);
  virtual ~TKestObject();
  TKestObject(const TKestObject&) = delete;
  TKestObject& operator=(const TKestObject&) = delete;

  TKestBaseList& Scene() const { return *FScene; }
  const std::string& Name() const { return FLife->Name; }
  // The rename rules of the scene: a namesake is renamed or scrapped.
  void SetName(const std::string& name);
  const std::string& Tag() const { return FTag; }
  int32_t Priority() const { return FPriority; }
  int32_t PriorityOffset() const { return FPriorityOffset; }
  void SetPriorityOffset(int32_t offset) { FPriorityOffset = offset; }
  // Priority := value and the offset := 0, when the value differs.
  virtual void SetPriority(int32_t priority);
  const TObjectHandle& Life() const { return FLife; }
  TObjectRef Ref() const { return TObjectRef(FLife); }

  virtual TComponentKind Kind() const { return LT_NONE; }
  virtual bool IsControl() const { return false; }
  virtual bool IsBase() const { return false; }
  // Whether new objects of the class take an "objectN" name.
  virtual bool TakesAutomaticName() const { return true; }
  TKestControl* AsControl();
  bool Keeps(const TPropertyInfo& info) const { return info.KeptBy.Keeps(Kind(), IsControl()); }

  // The plain value of a property id (0..164), in the alternative of its type.
  // Names, parents and priorities go through the scene's property access,
  // which knows their special rules.
  virtual TPropValue GetProp(int32_t id) const;
  // The value arrives in the alternative of the property's type.
  virtual void SetProp(int32_t id, TPropValue value);

  // The state record: the newest layout on writing; loading reads version v.
  virtual void SaveState(TStream& stream) const;
  virtual void LoadState(TStream& stream, int32_t version);

  // The game clock of the object's scene.
  const TGameClock& Clock() const;

  // The per-frame update; true asks the scene to destroy the object.
  virtual bool Update() { return false; }

  // Called by the scene once the object has left the registry.
  virtual void Detach() {}

  // A creating command calls these once the object exists and is placed,
  // before it gives its properties, and once it has given them all.
  virtual void Creating(ICreation&) {}
  virtual void Created() {}

 protected:
  friend class TKestBaseList;
  void StoreName(std::string name) { FLife->Name = std::move(name); }

 private:
  TKestBaseList* FScene;
  TObjectHandle FLife;
  std::string FTag;
  int32_t FPriority = 0;
  int32_t FPriorityOffset = 0;
  // Properties the kind keeps whose behaviour lives elsewhere: scripts set
  // and read them back, the kind's own code reads them when it needs them.
  std::vector<std::pair<uint8_t, TPropValue>> FKept;
};

// An object with a kind that can post events.
class TKestComponent : public TKestObject {
 public:
  using TKestObject::TKestObject;
  // Kinds stop posting while they close (a map image or a menu).
  virtual bool EventsSuppressed() const { return false; }
};

}  // namespace kest
