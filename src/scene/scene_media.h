#pragma once
// The media managers as the scene's sounds and movies reach them. The player
// sets the real ones; a scene without them (tools, most tests) plays nothing.

#include <string>

namespace kest {

class TDMediaItem;
class TDsVideoItem;

class ISceneMedia {
 public:
  virtual ~ISceneMedia() = default;
  // Whether the game data (or the host, for a name starting with "/") has
  // the file.
  virtual bool Exists(const std::string& fileName) = 0;
  // An item from the manager the name picks by its lower-case extension:
  // ".mid" and ".sgt" MIDI, ".wma", ".asf" and ".wmv" Windows Media, ".ogg"
  // and ".wav" Ogg/wave, any other name starting with "CD_" CD audio. Null
  // when no manager plays it or the file cannot be opened.
  virtual TDMediaItem* AddSound(const std::string& fileName) = 0;
  // A movie decoded into frames the control copies (drawToSurface), or shown
  // as an overlay; null when it cannot be opened.
  virtual TDsVideoItem* AddVideo(const std::string& fileName, bool drawToSurface) = 0;
  // Stops the item and gives it back to its manager, which frees it.
  virtual void Release(TDMediaItem& item) = 0;
};

}  // namespace kest
