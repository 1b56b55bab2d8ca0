#include "shell/scene_part.h"

#include "common/stream.h"
#include "media/screen_manager.h"
#include "storage/vr_file_manager.h"

namespace kest {

bool TGamePictures::Exists(const std::string& name) { return FFiles && FFiles->Exists(name); }

std::vector<uint8_t> TGamePictures::Read(const std::string& name) {
  TByteStream bytes;
  FFiles->Load(bytes, name);
  return bytes.TakeBytes();
}

void TScenePart::FollowScreen() {
  TDIBX* output = FScreen ? FScreen->Output() : nullptr;
  FBases.SetExternalOutput(output);
  if (!FScreen) return;
  FBases.SetBitCount(FScreen->OutputBitCount());
  FPictures.SetBitCount(FScreen->OutputBitCount());
}

void TScenePart::SetSize(int width, int height) {
  FollowScreen();
  FBases.SetSceneSize(width, height);
}

// The screen manager builds a new output for every display mode, and the
// pictures are converted to its format here, once, so that drawing never
// has to convert them.
void TScenePart::ReloadSurfaces() {
  FollowScreen();
  FBases.ReloadSurfaces();
  FPictures.ReloadAll(true);
}

void TScenePart::DrawScene() {
  if (!FDrawing) return;
  FollowScreen();
  FBases.DrawScene();
}

}  // namespace kest
