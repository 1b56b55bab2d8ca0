#include "shell/player_files.h"

#include "common/sjis.h"
#include "platform/dialogs.h"

namespace kest {

TPlayerFiles::TPlayerFiles(std::string programPath, IDialogs* dialogs, std::function<void()> close,
                           TVrFileManager::TOptions options)
    : FManager(std::move(options)), FProgramPath(std::move(programPath)), FDialogs(dialogs), FClose(std::move(close)) {
  FManager.SetDiscPrompt(this);
}

TPromptAnswer TPlayerFiles::Ask(const std::string& caption, const std::string& message) {
  if (!FDialogs) return TPromptAnswer::Cancel;
  const TUiResult answer =
      FDialogs->MessageBox(Cp932ToUtf8(message), Cp932ToUtf8(caption), TUiIcon::Information, TUiButtons::OkCancel);
  return answer == TUiResult::Ok ? TPromptAnswer::Ok : TPromptAnswer::Cancel;
}

TPromptAnswer TPlayerFiles::AskForDisc(const std::string& caption, const std::string& message) {
  return Ask(caption, message);
}

TPromptAnswer TPlayerFiles::ConfirmQuit(const std::string& caption, const std::string& message) {
  return Ask(caption, message);
}

void TPlayerFiles::CloseMainWindow() {
  if (FClose) FClose();
}

}  // namespace kest
