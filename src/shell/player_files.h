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
  TPlayerFiles(std::string programPath, IDialogs* dialogs, std::function<void()> close,
               TVrFileManager::TOptions options = {});

  void DeletePendingFiles() override { FManager.DeletePendingFiles(); }
  void MountMemory() override { FManager.Mount(""); }
  void SetBaseFolder(const std::string& folder) override { FManager.SetBaseFolder(folder); }
  void MountFile(const std::string& path) override { FManager.Mount(path); }
  void MountProgramResource() override { FManager.MountResource(FProgramPath); }

  TPromptAnswer AskForDisc(const std::string& caption, const std::string& message) override;
  TPromptAnswer ConfirmQuit(const std::string& caption, const std::string& message) override;
  void CloseMainWindow() override;

  TVrFileManager& Manager() { return FManager; }

 private:
  TPromptAnswer Ask(const std::string& caption, const std::string& message);

  TVrFileManager FManager;
  std::string FProgramPath;
  IDialogs* FDialogs;
  std::function<void()> FClose;
};

}  // namespace kest
