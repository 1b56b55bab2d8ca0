#include "shell/player_files.h"

#include "common/sjis.h"
#include "platform/dialogs.h"

namespace kest {

TPlayerFiles::TPlayerFiles(std::string program_path, IDialogs* dialogs, std::function<void()> close,
                           TVrFileManager::TOptions options)
    : manager_(std::move(options)), program_path_(std::move(program_path)), dialogs_(dialogs),
      close_(std::move(close)) {
  manager_.SetDiscPrompt(this);
}

TPromptAnswer TPlayerFiles::Ask(const std::string& caption, const std::string& message) {
  if (!dialogs_) return TPromptAnswer::Cancel;
  const TUiResult answer =
      dialogs_->MessageBox(Cp932ToUtf8(message), Cp932ToUtf8(caption), TUiIcon::Information, TUiButtons::OkCancel);
  return answer == TUiResult::Ok ? TPromptAnswer::Ok : TPromptAnswer::Cancel;
}

TPromptAnswer TPlayerFiles::AskForDisc(const std::string& caption, const std::string& message) {
  return Ask(caption, message);
}

TPromptAnswer TPlayerFiles::ConfirmQuit(const std::string& caption, const std::string& message) {
  return Ask(caption, message);
}

void TPlayerFiles::CloseMainWindow() {
  if (close_) close_();
}

}  // namespace kest
