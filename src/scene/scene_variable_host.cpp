#include "scene/scene_variable_host.h"

#include "scene/kest_base_list.h"

namespace kest {

namespace {

bool KeyByte(const std::array<uint8_t, 256>& table, int32_t key) { return key >= 0 && key < 256 && table[key] != 0; }

}  // namespace

bool TSceneVariableHost::LeftClick() { return FScene.FrontBase().LeftClick(); }
void TSceneVariableHost::SetLeftClick(bool value) { FScene.FrontBase().SetLeftClick(value); }
bool TSceneVariableHost::RightClick() { return FScene.FrontBase().RightClick(); }
void TSceneVariableHost::SetRightClick(bool value) { FScene.FrontBase().SetRightClick(value); }
bool TSceneVariableHost::LeftPush() { return FScene.Input().Base(FScene.FrontIndex()).LeftHeld; }
bool TSceneVariableHost::RightPush() { return FScene.Input().Base(FScene.FrontIndex()).RightHeld; }
int32_t TSceneVariableHost::MouseX() { return FScene.Input().Base(FScene.FrontIndex()).MouseX; }
int32_t TSceneVariableHost::MouseY() { return FScene.Input().Base(FScene.FrontIndex()).MouseY; }
bool TSceneVariableHost::KeyPush(int32_t key) { return KeyByte(FScene.Input().Keys().Held, key); }
bool TSceneVariableHost::KeyClick(int32_t key) { return KeyByte(FScene.Input().Keys().PressedThisFrame, key); }
bool TSceneVariableHost::KeyRepeat(int32_t key) { return KeyByte(FScene.Input().Keys().RepeatThisFrame, key); }
bool TSceneVariableHost::WheelDown() { return FScene.FrontBase().WheelDown(); }
bool TSceneVariableHost::WheelUp() { return FScene.FrontBase().WheelUp(); }

// Pictures are drawn again with or without dithering.
void TSceneVariableHost::SetCGDither(bool value) {
  if (FDither == value) return;
  FDither = value;
  FScene.Base(0).InvalidateAll();
  FScene.Base(1).InvalidateAll();
}

std::string TSceneVariableHost::ActiveCompo() {
  TKestControl* focused = FScene.Focused();
  return focused ? focused->Name() : std::string();
}

void TSceneVariableHost::SetActiveCompo(const std::string& name) {
  TKestControl* control = FScene.FindControl(name);
  if (control && control->Visible() && control->TakesFocus() && !control->IsStopped()) FScene.SetFocus(control);
}

int32_t TSceneHistoryHost::HistoryCount() { return FScene.Story().History.Default().History->Count(); }

int32_t TSceneHistoryHost::HistoryMaxCount() { return FScene.Story().History.Default().History->MaxCount; }

void TSceneHistoryHost::SetHistoryMaxCount(int32_t value) {
  FScene.Story().History.Default().History->MaxCount = value;
}

void TSceneHistoryHost::SetLegacyFormat(const int32_t (&values)[6]) {
  static_cast<THistorySettings&>(FScene.Story().History.Default()) = {values[0], values[1], values[2],
                                                                      values[3], values[4], values[5]};
}

}  // namespace kest
