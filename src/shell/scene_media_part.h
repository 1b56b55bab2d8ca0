#pragma once
// The media managers as the scene's sounds and movies reach them: the file
// name picks the manager, and an item that cannot be made plays nothing.

#include "scene/scene_media.h"

namespace kest {

class TMediaPart;
class TVrFileManager;

class TSceneMediaPart final : public ISceneMedia {
 public:
  TSceneMediaPart(TMediaPart& media, TVrFileManager* files) : FMedia(media), FFiles(files) {}
  bool Exists(const std::string& fileName) override;
  TDMediaItem* AddSound(const std::string& fileName) override;
  TDsVideoItem* AddVideo(const std::string& fileName, bool drawToSurface) override;
  void Release(TDMediaItem& item) override;

 private:
  TMediaPart& FMedia;
  TVrFileManager* FFiles;
};

}  // namespace kest
