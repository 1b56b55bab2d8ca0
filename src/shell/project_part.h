// The project as the main window sees it, and the boxes it shows through
// the player's dialogs.
#pragma once

#include <memory>
#include <string>

#include "script/project.h"
#include "script/project_ui.h"
#include "shell/player_parts.h"

namespace kest {

class IDialogs;

class TProjectUi final : public IProjectUi {
 public:
  explicit TProjectUi(IDialogs* dialogs) : FDialogs(dialogs) {}
  void ShowMessage(const std::string& caption, const std::string& text, TMessageIcon icon) override;
  TPromptAnswer AskOkCancel(const std::string& caption, const std::string& text) override;
  void ShowStartupError(const std::string& text) override;
  // The main window takes the title from the project once it is made.
  void SetTitle(const std::string&) override {}
  void ReportSaveFailure(const std::string& text) override;

 private:
  IDialogs* FDialogs;
};

class TProjectPart final : public IPlayerProject {
 public:
  explicit TProjectPart(std::unique_ptr<TProject> project) : FProject(std::move(project)) {}
  std::string Title() const override { return FProject->Title(); }
  int ScreenWidth() const override { return FProject->ScreenWidth(); }
  int ScreenHeight() const override { return FProject->ScreenHeight(); }
  int FullScreenWidth() const override { return FProject->FullScreenWidth(); }
  int FullScreenHeight() const override { return FProject->FullScreenHeight(); }
  bool ShowToolbar() const override { return FProject->ShowToolbar(); }
  bool StopWhenInactive() const override { return FProject->StopWhenInactive(); }
  void RunTick() override { FProject->RunTick(); }
  bool DoRequests() override { return FProject->DoRequests(); }
  void RequestSave(int32_t slot, const std::string& title) override { FProject->RequestSave(slot, title, {}, 0); }
  void RequestLoad(int32_t slot) override { FProject->RequestLoad(slot); }
  TProject& Project() { return *FProject; }

 private:
  std::unique_ptr<TProject> FProject;
};

}  // namespace kest
