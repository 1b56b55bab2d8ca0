#include "shell/project_part.h"

#include "common/sjis.h"
#include "platform/dialogs.h"

namespace kest {

void TProjectUi::ShowMessage(const std::string& caption, const std::string& text, TMessageIcon icon) {
  if (!FDialogs) return;
  FDialogs->MessageBox(Cp932ToUtf8(text), Cp932ToUtf8(caption),
                       icon == TMessageIcon::Warning ? TUiIcon::Warning : TUiIcon::Information, TUiButtons::Ok);
}

TPromptAnswer TProjectUi::AskOkCancel(const std::string& caption, const std::string& text) {
  if (!FDialogs) return TPromptAnswer::Cancel;
  const TUiResult answer =
      FDialogs->MessageBox(Cp932ToUtf8(text), Cp932ToUtf8(caption), TUiIcon::Question, TUiButtons::OkCancel);
  return answer == TUiResult::Ok ? TPromptAnswer::Ok : TPromptAnswer::Cancel;
}

void TProjectUi::ShowStartupError(const std::string& text) {
  if (FDialogs) FDialogs->MessageBox(Cp932ToUtf8(text), "KestPlayer", TUiIcon::Warning, TUiButtons::Ok);
}

void TProjectUi::ReportSaveFailure(const std::string& text) {
  if (FDialogs) FDialogs->MessageBox(Cp932ToUtf8(text), "KestPlayer", TUiIcon::Warning, TUiButtons::Ok);
}

}  // namespace kest
