// The parts the player starts with before a game's subsystems take their
// place: a scene that only latches input, and no project, files, media or
// screen manager.
#pragma once

#include "scene/scene_input.h"
#include "shell/player_parts.h"

namespace kest {

class TInputOnlyScene final : public IPlayerScene {
 public:
  TSceneInput& Input() override { return FInput; }
  void SetSize(int, int) override {}
  void ProcessInput() override {}
  void UpdateScene() override {}
  void DrawScene() override {}
  void ClearDirtyLists() override {}
  void FreeSurfaces() override {}
  void ReloadSurfaces() override {}

 private:
  TSceneInput FInput;
};

class TEmptyPlayerFactory : public IPlayerFactory {
 public:
  TGameClock& Clock() override { return FClock; }
  std::unique_ptr<IPlayerFiles> CreateFiles() override { return nullptr; }
  void InitSound() override {}
  void* SoundOutput() override { return nullptr; }
  void CreateVariables() override {}
  void CreateSystemFunctions() override {}
  std::unique_ptr<IPlayerScene> CreateScene() override { return std::make_unique<TInputOnlyScene>(); }
  std::unique_ptr<IPlayerProject> CreateProject() override { return nullptr; }
  std::unique_ptr<IPlayerMedia> CreateMedia(const TMediaInitArgs&) override { return nullptr; }
  std::unique_ptr<IPlayerScreen> CreateScreen(const TMediaInitArgs&) override { return nullptr; }
  void InitColourTables() override {}
  void FreeSystemFunctions() override {}
  void FreeVariables() override {}

 private:
  TGameClock FClock;
};

}  // namespace kest
