// The scene as the main window drives it: the registry of every scene object,
// drawn onto the screen manager's output each tick.
#pragma once

#include <vector>

#include "imaging/rect.h"
#include "scene/kest_base_list.h"
#include "scene/scene_variable_host.h"
#include "shell/player_parts.h"

namespace kest {

class TScreenManager;

class TScenePart final : public IPlayerScene {
 public:
  TScenePart() : FHost(FBases) {}

  TSceneInput& Input() override { return FBases.Input(); }
  void SetSize(int width, int height) override;
  void ProcessInput() override { FBases.ProcessInput(); }
  void UpdateScene() override { FBases.UpdateScene(); }
  void DrawScene() override;
  void ClearDirtyLists() override { FBases.ClearDirtyLists(); }
  void FreeSurfaces() override { FBases.FreeSurfaces(); }
  void ReloadSurfaces() override;

  // The screen manager whose output the front screen draws on; none: the
  // scene's own output.
  void SetScreen(TScreenManager* screen) { FScreen = screen; }
  // A display check shows its test picture in place of the scene.
  void SetDrawing(bool on) { FDrawing = on; }
  // The output rectangles the last draw phase changed.
  std::vector<TRect> DirtyRects() { return FBases.OutputDirtyRects(); }
  TKestBaseList& Bases() { return FBases; }
  ISceneHost& VariableHost() { return FHost; }

 private:
  void FollowScreen();

  TKestBaseList FBases;
  TSceneVariableHost FHost;
  TScreenManager* FScreen = nullptr;
  bool FDrawing = true;
};

}  // namespace kest
