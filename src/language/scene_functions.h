#pragma once
// What the component functions ask of the scene. Components are named by
// string; every query answers "nothing" for a name no component has, so the
// function leaves its result as it was.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kest {

class TCustomParam;

// The item states of the choice components: the check marks of list boxes,
// and the buttons of preview menus.
enum class TItemState : uint8_t { Checked, Enabled, Visible, Selected };

// An item argument: its index, and for a text that reads as no integer the
// text itself, which a preview menu takes as the name of a button.
struct TItemRef {
  int32_t Index = 0;
  std::optional<std::string> Name;
};

// A control's absolute position on its base screen.
struct TSceneOrigin {
  int32_t X = 0;
  int32_t Y = 0;
};

class ISceneFunctions {
 public:
  virtual ~ISceneFunctions() = default;

  // Property access by number, converting as the property commands do;
  // false when no component has the name.
  virtual bool GetProp(const std::string& name, int32_t property, TCustomParam& target) = 0;
  virtual bool SetProp(const std::string& name, int32_t property, const TCustomParam& value) = 0;
  virtual bool Exists(const std::string& name) = 0;
  // The names of the components of a kind (any kind outside 1..27 means
  // every kind) in scene order; with a parent, its direct children only.
  virtual std::vector<std::string> ListCompo(int32_t kind, const std::optional<std::string>& parent) = 0;
  virtual std::optional<TSceneOrigin> Origin(const std::string& name) = 0;
  // The item text of a menu, one item per line.
  virtual std::optional<std::string> MenuItems(const std::string& name) = 0;
  virtual std::optional<bool> ItemState(const std::string& name, TItemState state, const TItemRef& item) = 0;
  // False when the component keeps no items of that state.
  virtual bool SetItemState(const std::string& name, TItemState state, const TItemRef& item, bool value) = 0;
  virtual std::optional<int32_t> ItemGroup(const std::string& name, const TItemRef& item) = 0;
  // The control lies on the current base screen and outside every cabinet.
  virtual bool InPrimary(const std::string& name) = 0;
  virtual bool InCabinet(const std::string& name) = 0;
};

}  // namespace kest
