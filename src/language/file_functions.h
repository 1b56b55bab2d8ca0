#pragma once
// What the file functions of expressions reach: the game's files (the
// virtual file system and the save file), screen captures and copying game
// files out to the disk. Names are Shift-JIS game names; a missing host
// leaves every such function answering false or empty.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kest {

struct TSaveScreenRequest {
  std::string Name;
  // 0 means the screen's own size.
  int32_t Width = 0;
  int32_t Height = 0;
  // The other base screen than the one in front.
  bool Back = false;
  // 1: deleted when the player ends; 2: listed in the save folder's
  // install.dat; 0: neither.
  int32_t Register = 0;
};

class IFileFunctions {
 public:
  virtual ~IFileFunctions() = default;
  virtual bool FileExists(const std::string& name) = 0;
  // The whole file, asking for its disc when it lies on one; nothing when
  // the game does not have it.
  virtual std::optional<std::string> LoadTextFile(const std::string& name) = 0;
  // src and dst are in-memory files ("mem:" or "save:").
  virtual bool CopyFile(const std::string& src, const std::string& dst) = 0;
  virtual bool SaveScreen(const TSaveScreenRequest& request) = 0;
  // Copies the matching game files into the folder (nothing: the user picks
  // one); true when at least one file was written.
  virtual bool ExtractFile(const std::vector<std::string>& patterns, bool confirm,
                           const std::optional<std::string>& folder) = 0;
};

}  // namespace kest
