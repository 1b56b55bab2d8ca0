#pragma once
// The two questions a disc change asks the user. The shell answers them with
// its own message boxes; tests answer from a script. Captions and messages are
// Shift-JIS, as every text of the game is.

#include <string>

namespace kest {

enum class TPromptAnswer { Ok, Cancel };

class IDiscPrompt {
 public:
  virtual ~IDiscPrompt() = default;
  // The OK/Cancel box that asks for disc n ("ディスク%dを入れてから[OK]を...").
  virtual TPromptAnswer AskForDisc(const std::string& caption, const std::string& message) = 0;
  // The OK/Cancel box "終了します" shown after the user cancelled the request.
  virtual TPromptAnswer ConfirmQuit(const std::string& caption, const std::string& message) = 0;
  // The user chose to quit: the main window is to close once the tick ends.
  virtual void CloseMainWindow() {}
};

}  // namespace kest
