#include "shell/scene_media_part.h"

#include <cctype>
#include <exception>
#include <filesystem>

#include "shell/media_part.h"
#include "storage/vr_file_manager.h"

namespace kest {

namespace {

std::string LowerExtension(const std::string& fileName) {
  const size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos) return {};
  std::string extension = fileName.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

}  // namespace

bool TSceneMediaPart::Exists(const std::string& fileName) {
  if (fileName.empty()) return false;
  if (TMediaFiles::IsAbsolute(fileName)) {
    std::error_code error;
    return std::filesystem::is_regular_file(fileName, error);
  }
  return FFiles && FFiles->Exists(fileName);
}

TDMediaItem* TSceneMediaPart::AddSound(const std::string& fileName) {
  const std::string extension = LowerExtension(fileName);
  try {
    if (extension == ".mid" || extension == ".sgt") return &FMedia.Midi().Add(fileName);
    if (extension == ".wma" || extension == ".asf" || extension == ".wmv") return &FMedia.Wmp().Add(fileName);
    if (extension == ".ogg" || extension == ".wav") return &FMedia.Ogg().Add(fileName);
    if (fileName.starts_with("CD_")) return &FMedia.Cdda().Add(fileName);
  } catch (const std::exception&) {
    // Sound data the decoder rejects leaves the sound silent, as a missing
    // file does.
  }
  return nullptr;
}

TDsVideoItem* TSceneMediaPart::AddVideo(const std::string& fileName, bool drawToSurface) {
  try {
    return &FMedia.Video().Add(fileName, drawToSurface);
  } catch (const std::exception&) {
    return nullptr;
  }
}

void TSceneMediaPart::Release(TDMediaItem& item) {
  item.Pause();
  item.Manager().Remove(&item);
}

}  // namespace kest
