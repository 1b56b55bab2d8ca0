#pragma once
// What the desktop functions of expressions reach: the platform's file and
// folder dialogs, the browser and the wallpaper. Paths come back as
// Shift-JIS; a cancelled dialog, or a platform without one, gives nothing.

#include <cstdint>
#include <optional>
#include <string>

namespace kest {

class IDesktopFunctions {
 public:
  virtual ~IDesktopFunctions() = default;
  // filter: pairs of description and pattern separated by "|" (may be empty).
  virtual std::optional<std::string> SelectOpenFile(const std::string& filter) = 0;
  virtual std::optional<std::string> SelectSaveFile(const std::string& filter) = 0;
  // The folder with a trailing backslash.
  virtual std::optional<std::string> SelectDirectory() = 0;
  // Opens a web or ftp address, or an existing folder, with the desktop's
  // own handler.
  virtual void OpenUrl(const std::string& url) = 0;
  virtual bool SetWallPaper(const std::string& image, int32_t style) = 0;
};

}  // namespace kest
