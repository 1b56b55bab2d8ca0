#pragma once
// The scene as the component functions see it: components found by name in
// the whole registry, their properties through the same access as the
// property commands, and the items of list boxes and preview menus.

#include "language/scene_functions.h"
#include "language/sys_func_man.h"

namespace kest {

class TKestBaseList;
class TKestControl;
class TKestObject;

class TSceneFunctionHost final : public ISceneFunctions {
 public:
  explicit TSceneFunctionHost(TKestBaseList& scene) : FScene(scene) {}

  bool GetProp(const std::string& name, int32_t property, TCustomParam& target) override;
  bool SetProp(const std::string& name, int32_t property, const TCustomParam& value) override;
  bool Exists(const std::string& name) override;
  std::vector<std::string> ListCompo(int32_t kind, const std::optional<std::string>& parent) override;
  std::optional<TSceneOrigin> Origin(const std::string& name) override;
  std::optional<std::string> MenuItems(const std::string& name) override;
  std::optional<bool> ItemState(const std::string& name, TItemState state, const TItemRef& item) override;
  bool SetItemState(const std::string& name, TItemState state, const TItemRef& item, bool value) override;
  std::optional<int32_t> ItemGroup(const std::string& name, const TItemRef& item) override;
  bool InPrimary(const std::string& name) override;
  bool InCabinet(const std::string& name) override;

 private:
  TKestControl* Control(const std::string& name);

  TKestBaseList& FScene;
};

// GetProp's result takes the type the property table gives the property.
class TScenePropertyTypes final : public IPropertyTypes {
 public:
  uint8_t PropertyType(int32_t property) override;
};

}  // namespace kest
