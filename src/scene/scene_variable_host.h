#pragma once
// The scene as the system variables see it: the front screen's mouse and
// clicks of this frame, the keys, the focus and the scene-wide switches.

#include "language/system_variable_host.h"

namespace kest {

class TKestBaseList;

class TSceneVariableHost final : public ISceneHost {
 public:
  explicit TSceneVariableHost(TKestBaseList& scene) : FScene(scene) {}

  bool LeftClick() override;
  void SetLeftClick(bool value) override;
  bool RightClick() override;
  void SetRightClick(bool value) override;
  bool LeftPush() override;
  bool RightPush() override;
  int32_t MouseX() override;
  int32_t MouseY() override;
  bool KeyPush(int32_t key) override;
  bool KeyClick(int32_t key) override;
  bool KeyRepeat(int32_t key) override;
  bool WheelDown() override;
  bool WheelUp() override;
  bool CGDither() override { return FDither; }
  void SetCGDither(bool value) override;
  bool SoundOn() override { return FSoundOn; }
  void SetSoundOn(bool value) override { FSoundOn = value; }
  std::string ActiveCompo() override;
  void SetActiveCompo(const std::string& name) override;

 private:
  TKestBaseList& FScene;
  bool FDither = false;
  bool FSoundOn = true;
};

// The default history as @HistoryCount and @HistoryMaxCount see it.
class TSceneHistoryHost final : public IHistoryHost {
 public:
  explicit TSceneHistoryHost(TKestBaseList& scene) : FScene(scene) {}
  int32_t HistoryCount() override;
  int32_t HistoryMaxCount() override;
  void SetHistoryMaxCount(int32_t value) override;
  void SetLegacyFormat(const int32_t (&values)[6]) override;

 private:
  TKestBaseList& FScene;
};

}  // namespace kest
