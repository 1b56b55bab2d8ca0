#include "shell/scene_part.h"

#include "media/screen_manager.h"

namespace kest {

void TScenePart::FollowScreen() {
  TDIBX* output = FScreen ? FScreen->Output() : nullptr;
  FBases.SetExternalOutput(output);
  if (FScreen) FBases.SetBitCount(FScreen->OutputBitCount());
}

void TScenePart::SetSize(int width, int height) {
  FollowScreen();
  FBases.SetSceneSize(width, height);
}

// The screen manager builds a new output for every display mode.
void TScenePart::ReloadSurfaces() {
  FollowScreen();
  FBases.ReloadSurfaces();
}

void TScenePart::DrawScene() {
  if (!FDrawing) return;
  FollowScreen();
  FBases.DrawScene();
}

}  // namespace kest
