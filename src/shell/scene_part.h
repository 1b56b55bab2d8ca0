// The scene as the main window drives it: the registry of every scene object,
// drawn onto the screen manager's output each tick.
#pragma once

#include <vector>

#include "imaging/pexa_collection.h"
#include "imaging/rect.h"
#include "scene/kest_base_list.h"
#include "scene/scene_variable_host.h"
#include "shell/player_parts.h"

namespace kest {

class TScreenManager;
class TVrFileManager;

// Pictures by their game names, from the virtual file manager.
class TGamePictures final : public IPictureFiles {
 public:
  void SetFiles(TVrFileManager* files) { FFiles = files; }
  bool Exists(const std::string& name) override;
  std::vector<uint8_t> Read(const std::string& name) override;

 private:
  TVrFileManager* FFiles = nullptr;
};

class TScenePart final : public IPlayerScene {
 public:
  TScenePart() : FHost(FBases), FHistoryHost(FBases) { FBases.SetPictures(&FPictures); }

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
  // Where pictures come from, and the code protected ones are read with.
  void SetPictureSource(TVrFileManager* files, uint32_t code) {
    FPictureFiles.SetFiles(files);
    FPictures.SetCode(code);
  }
  ISceneHost& VariableHost() { return FHost; }
  IHistoryHost& HistoryHost() { return FHistoryHost; }

 private:
  void FollowScreen();

  // The image cache outlives the objects that hold its pictures.
  TGamePictures FPictureFiles;
  TPexaCollection FPictures{&FPictureFiles, 0};
  TKestBaseList FBases;
  TSceneVariableHost FHost;
  TSceneHistoryHost FHistoryHost;
  TScreenManager* FScreen = nullptr;
  bool FDrawing = true;
};

}  // namespace kest
