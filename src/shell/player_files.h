// The main window's view of the virtual file manager: mounting at start-up,
// work files deleted every tick, and the disc-change boxes.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "shell/player_parts.h"
#include "storage/disc_prompt.h"
#include "storage/vr_file_manager.h"

namespace kest {

class IDialogs;

class TPlayerFiles final : public IPlayerFiles, public IDiscPrompt {
 public:
  // `close` is called when the user chose to quit at a disc change.
  TPlayerFiles(std::string program_path, IDialogs* dialogs, std::function<void()> close,
               TVrFileManager::TOptions options = {});

  void DeletePendingFiles() override { manager_.DeletePendingFiles(); }
  void MountMemory() override { manager_.Mount(""); }
  void SetBaseFolder(const std::string& folder) override { manager_.SetBaseFolder(folder); }
  void MountFile(const std::string& path) override { manager_.Mount(path); }
  void MountProgramResource() override { manager_.MountResource(program_path_); }

  TPromptAnswer AskForDisc(const std::string& caption, const std::string& message) override;
  TPromptAnswer ConfirmQuit(const std::string& caption, const std::string& message) override;
  void CloseMainWindow() override;

  TVrFileManager& Manager() { return manager_; }

 private:
  TPromptAnswer Ask(const std::string& caption, const std::string& message);

  TVrFileManager manager_;
  std::string program_path_;
  IDialogs* dialogs_;
  std::function<void()> close_;
};

}  // namespace kest
