#pragma once
// Starting the desktop's helper programs (the browser opener, the file
// dialogs). Programs are found on PATH and started without a shell, every
// argument as it is, so nothing a game passes is ever read as a command.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kest {

class IProgramRunner {
 public:
  virtual ~IProgramRunner() = default;
  // Starts the program and lets it run on; false when it cannot be started.
  virtual bool Launch(const std::vector<std::string>& argv) = 0;
  // Runs the program to its end: its standard output when it exits with 0.
  virtual std::optional<std::string> Run(const std::vector<std::string>& argv) = 0;
  // The program is on PATH.
  virtual bool Installed(const std::string& program) = 0;
  // What runs while Run waits (a round of the window's loop); a runner that
  // never waits ignores it.
  virtual void SetTurn(std::function<void()> turn) { (void)turn; }
};

class TSpawnRunner final : public IProgramRunner {
 public:
  bool Launch(const std::vector<std::string>& argv) override;
  std::optional<std::string> Run(const std::vector<std::string>& argv) override;
  bool Installed(const std::string& program) override;
  void SetTurn(std::function<void()> turn) override { FTurn = std::move(turn); }

 private:
  std::function<void()> FTurn;
};

// Starts nothing: headless runs and tests see what would have been started.
// Dialogs it would run count as cancelled.
class TRecordingRunner final : public IProgramRunner {
 public:
  bool Launch(const std::vector<std::string>& argv) override {
    Launched.push_back(argv);
    return true;
  }
  std::optional<std::string> Run(const std::vector<std::string>& argv) override {
    Ran.push_back(argv);
    return std::nullopt;
  }
  bool Installed(const std::string&) override { return false; }

  std::vector<std::vector<std::string>> Launched;
  std::vector<std::vector<std::string>> Ran;
};

// The runner of a windowed player starts programs; a headless one records.
std::unique_ptr<IProgramRunner> MakeProgramRunner(bool headless);

}  // namespace kest
