// The parts the player starts with before a game's subsystems take their
// place: a scene that only latches input, a project of the default screen
// size whose ticks do nothing, and no files, media or screen manager.
#pragma once

#include "scene/scene_input.h"
#include "shell/player_parts.h"

namespace kest {

class TInputOnlyScene final : public IPlayerScene {
 public:
  TSceneInput& Input() override { return input_; }
  void SetSize(int, int) override {}
  void ProcessInput() override {}
  void UpdateScene() override {}
  void DrawScene() override {}
  void ClearDirtyLists() override {}
  void FreeSurfaces() override {}
  void ReloadSurfaces() override {}

 private:
  TSceneInput input_;
};

class TEmptyProject final : public IPlayerProject {
 public:
  std::string Title() const override { return {}; }
  int ScreenWidth() const override { return 640; }
  int ScreenHeight() const override { return 480; }
  bool ShowToolbar() const override { return true; }
  bool StopWhenInactive() const override { return true; }
  void RunTick() override {}
  bool DoRequests() override { return false; }
};

class TEmptyPlayerFactory : public IPlayerFactory {
 public:
  std::unique_ptr<IPlayerFiles> CreateFiles() override { return nullptr; }
  void InitSound() override {}
  void CreateVariables() override {}
  void CreateSystemFunctions() override {}
  std::unique_ptr<IPlayerScene> CreateScene() override { return std::make_unique<TInputOnlyScene>(); }
  std::unique_ptr<IPlayerProject> CreateProject() override { return std::make_unique<TEmptyProject>(); }
  std::unique_ptr<IPlayerMedia> CreateMedia(const TMediaInitArgs&) override { return nullptr; }
  std::unique_ptr<IPlayerScreen> CreateScreen(const TMediaInitArgs&) override { return nullptr; }
  void InitColourTables() override {}
  void FreeSystemFunctions() override {}
  void FreeVariables() override {}
};

}  // namespace kest
