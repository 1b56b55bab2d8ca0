#include "scene/scene_function_host.h"

#include "language/param_types.h"
#include "scene/item_lists.h"
#include "scene/kest_base_list.h"
#include "scene/kest_control.h"
#include "scene/property_access.h"

namespace kest {

namespace {

// A preview menu takes a text item as the name of its button.
int32_t ButtonIndex(const IButtonItems& buttons, const TItemRef& item) {
  return item.Name ? buttons.ButtonIndex(*item.Name) : item.Index;
}

}  // namespace

TKestControl* TSceneFunctionHost::Control(const std::string& name) {
  TKestObject* object = FScene.FindObject(name);
  return object ? object->AsControl() : nullptr;
}

bool TSceneFunctionHost::GetProp(const std::string& name, int32_t property, TCustomParam& target) {
  TKestObject* object = FScene.FindObject(name);
  if (!object) return false;
  GetProperty(*object, property, target);
  return true;
}

bool TSceneFunctionHost::SetProp(const std::string& name, int32_t property, const TCustomParam& value) {
  TKestObject* object = FScene.FindObject(name);
  if (!object) return false;
  SetProperty(*object, property, value);
  return true;
}

bool TSceneFunctionHost::Exists(const std::string& name) { return FScene.FindObject(name) != nullptr; }

// A parent that does not exist has no children. Scrapped objects have lost
// their names and are gone for scripts, so they are left out.
std::vector<std::string> TSceneFunctionHost::ListCompo(int32_t kind, const std::optional<std::string>& parent) {
  std::vector<std::string> names;
  const TKestControl* under = parent ? FScene.FindControl(*parent) : nullptr;
  if (parent && !under) return names;
  const uint8_t wanted = kind > 0 && kind < kComponentKindCount ? static_cast<uint8_t>(kind) : 0;
  FScene.ListComponents(names, wanted, under);
  std::erase_if(names, [](const std::string& name) { return name.empty(); });
  return names;
}

std::optional<TSceneOrigin> TSceneFunctionHost::Origin(const std::string& name) {
  TKestControl* control = Control(name);
  if (!control) return std::nullopt;
  return TSceneOrigin{control->AbsLeft(), control->AbsTop()};
}

std::optional<std::string> TSceneFunctionHost::MenuItems(const std::string& name) {
  TKestObject* object = FScene.FindObject(name);
  if (!object || object->Kind() != LT_MENU) return std::nullopt;
  return std::get<std::string>(ReadProperty(*object, PR_TEXT));
}

std::optional<bool> TSceneFunctionHost::ItemState(const std::string& name, TItemState state, const TItemRef& item) {
  TKestObject* object = FScene.FindObject(name);
  if (state == TItemState::Checked) {
    const auto* checks = dynamic_cast<const ICheckItems*>(object);
    if (!checks) return std::nullopt;
    return checks->ItemChecked(item.Index);
  }
  const auto* buttons = dynamic_cast<const IButtonItems*>(object);
  if (!buttons) return std::nullopt;
  const int32_t index = ButtonIndex(*buttons, item);
  switch (state) {
    case TItemState::Enabled: return buttons->ButtonEnabled(index);
    case TItemState::Visible: return buttons->ButtonVisible(index);
    default: return buttons->ButtonSelected(index);
  }
}

bool TSceneFunctionHost::SetItemState(const std::string& name, TItemState state, const TItemRef& item, bool value) {
  TKestObject* object = FScene.FindObject(name);
  if (state == TItemState::Checked) {
    auto* checks = dynamic_cast<ICheckItems*>(object);
    if (checks) checks->SetItemChecked(item.Index, value);
    return checks != nullptr;
  }
  auto* buttons = dynamic_cast<IButtonItems*>(object);
  if (!buttons) return false;
  const int32_t index = ButtonIndex(*buttons, item);
  switch (state) {
    case TItemState::Enabled: buttons->SetButtonEnabled(index, value); break;
    case TItemState::Visible: buttons->SetButtonVisible(index, value); break;
    default: buttons->SetButtonSelected(index, value); break;
  }
  return true;
}

std::optional<int32_t> TSceneFunctionHost::ItemGroup(const std::string& name, const TItemRef& item) {
  const auto* buttons = dynamic_cast<const IButtonItems*>(FScene.FindObject(name));
  if (!buttons) return std::nullopt;
  return buttons->ButtonGroup(ButtonIndex(*buttons, item));
}

bool TSceneFunctionHost::InPrimary(const std::string& name) {
  TKestControl* control = Control(name);
  return control && control->BaseScreen() == &FScene.FrontBase() && !control->InCabinet();
}

bool TSceneFunctionHost::InCabinet(const std::string& name) {
  TKestControl* control = Control(name);
  return control && control->InCabinet();
}

uint8_t TScenePropertyTypes::PropertyType(int32_t property) {
  const TPropertyInfo* info = PropertyInfo(property);
  if (!info) return PT_STR;
  switch (info->Type) {
    case TPropType::Int: return PT_INT;
    case TPropType::Float: return PT_FLOAT;
    case TPropType::Bool: return PT_BOOL;
    case TPropType::Str: break;
  }
  return PT_STR;
}

}  // namespace kest
