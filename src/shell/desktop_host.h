#pragma once
// The desktop functions of expressions on a Linux desktop: file and folder
// dialogs through zenity when it is installed (else every dialog counts as
// cancelled), addresses opened with xdg-open, and no wallpaper.

#include <functional>
#include <string>

#include "language/desktop_functions.h"
#include "shell/program_runner.h"
#include "storage/host_name_resolver.h"

namespace kest {

class TDesktopHost final : public IDesktopFunctions {
 public:
  // The runner starts the helper programs; not owned.
  explicit TDesktopHost(IProgramRunner& runner) : FRunner(runner) {}
  // The host folder (ending in "/") below which a game's own folder names,
  // such as "save\", are found; none: such names open nothing.
  void SetGameFolder(std::function<std::string()> folder) { FGameFolder = std::move(folder); }

  std::optional<std::string> SelectOpenFile(const std::string& filter) override;
  std::optional<std::string> SelectSaveFile(const std::string& filter) override;
  std::optional<std::string> SelectDirectory() override;
  void OpenUrl(const std::string& url) override;
  // The desktop's wallpaper belongs to the user: the player never sets it.
  bool SetWallPaper(const std::string&, int32_t) override { return false; }

 private:
  std::optional<std::string> RunDialog(std::vector<std::string> argv);
  std::optional<std::string> HostFolderOf(const std::string& name);

  IProgramRunner& FRunner;
  std::function<std::string()> FGameFolder;
  THostNameResolver FNames;
};

}  // namespace kest
