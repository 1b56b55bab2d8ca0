#pragma once
// The boxes and the caption the project shows, answered by the shell (its
// own message boxes) or by a test. Captions and texts are Shift-JIS.

#include <string>

#include "storage/disc_prompt.h"

namespace kest {

enum class TMessageIcon { Information, Warning };

class IProjectUi {
 public:
  virtual ~IProjectUi() = default;
  // A box with one OK button.
  virtual void ShowMessage(const std::string& caption, const std::string& text, TMessageIcon icon) = 0;
  virtual TPromptAnswer AskOkCancel(const std::string& caption, const std::string& text) = 0;
  // The start-up error box: a warning with the error's text and an OK button.
  virtual void ShowStartupError(const std::string& text) = 0;
  // The application title and the window caption.
  virtual void SetTitle(const std::string& title) = 0;
  // The save file could not be written; the old one is still whole.
  virtual void ReportSaveFailure(const std::string& text) = 0;
};

}  // namespace kest
