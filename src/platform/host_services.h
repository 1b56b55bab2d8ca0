// What scripts may ask of the desktop: open a web page, choose a file or a
// folder, find the user's folders. The desktop back end starts the usual
// helper programs; the headless one records the requests and answers
// "cancelled", as a user who closes the dialog would.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kest {

enum class TSpecialFolder { Home, Desktop, Documents, Pictures, Music, Config, Data, Temporary };

class IHostServices {
 public:
  virtual ~IHostServices() = default;
  // UTF-8 in and out. False when nothing could be started.
  virtual bool OpenUrl(const std::string& url) = 0;
  // nullopt when cancelled or no dialog is available.
  virtual std::optional<std::string> ChooseFile(const std::string& title, const std::string& folder,
                                                bool forSaving) = 0;
  virtual std::optional<std::string> ChooseFolder(const std::string& title, const std::string& folder) = 0;
  virtual std::string SpecialFolder(TSpecialFolder which) = 0;
};

// The XDG folders (with the usual fallbacks under $HOME).
std::string XdgFolder(TSpecialFolder which);

class TDesktopHostServices final : public IHostServices {
 public:
  bool OpenUrl(const std::string& url) override;
  std::optional<std::string> ChooseFile(const std::string& title, const std::string& folder, bool forSaving) override;
  std::optional<std::string> ChooseFolder(const std::string& title, const std::string& folder) override;
  std::string SpecialFolder(TSpecialFolder which) override { return XdgFolder(which); }
};

class THeadlessHostServices final : public IHostServices {
 public:
  bool OpenUrl(const std::string& url) override {
    requests.push_back("open " + url);
    return true;
  }
  std::optional<std::string> ChooseFile(const std::string& title, const std::string&, bool forSaving) override {
    requests.push_back((forSaving ? "save-file " : "open-file ") + title);
    return std::nullopt;
  }
  std::optional<std::string> ChooseFolder(const std::string& title, const std::string&) override {
    requests.push_back("folder " + title);
    return std::nullopt;
  }
  std::string SpecialFolder(TSpecialFolder which) override { return XdgFolder(which); }

  std::vector<std::string> requests;
};

// Runs a program found on PATH with the given arguments, without a shell,
// and returns its standard output and exit status (nullopt: it could not be
// started). `wait` false leaves it running and returns at once. While a
// waited-for program runs, `turn` (when given) is called about every 15 ms,
// so a window stays drawn and answers its events behind a helper's dialog.
struct TProgramResult {
  int Status = -1;
  std::string Output;
};
std::optional<TProgramResult> RunProgram(const std::vector<std::string>& argv, bool wait,
                                         const std::function<void()>& turn = {});
// Whether a program of that name is on PATH.
bool HaveProgram(const std::string& name);

}  // namespace kest
