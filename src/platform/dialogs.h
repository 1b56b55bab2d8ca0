// Message boxes and questions. The windowed player draws them inside its
// window, modal over the scene; before a window exists a fallback box is
// used; the headless player answers from a script.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui_box_kinds.h"

namespace kest {

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // Text and caption in UTF-8. Returns the button chosen.
  virtual TUiResult MessageBox(const std::string& text, const std::string& caption, TUiIcon icon,
                               TUiButtons buttons) = 0;
};

// A question met when no scripted answer was left. Deliberately no
// std::exception: nothing in the player catches it on the way, so a headless
// run that meets one ends instead of asking for ever (a disc that never comes).
struct TUnansweredBox {
  std::string Caption;
  std::string Text;
};

// Answers boxes from a list; a box with a single OK button needs no answer of
// its own, and a question with none left raises TUnansweredBox. Every box is
// reported to the observer (the headless log, tests), an unanswered one with
// TUiResult::None.
class TScriptedDialogs final : public IDialogs {
 public:
  using TObserver = std::function<void(const std::string& caption, const std::string& text, TUiResult answer)>;

  void Push(TUiResult answer) { FAnswers.push_back(answer); }
  void SetObserver(TObserver observer) { FObserver = std::move(observer); }
  int Shown() const { return FShown; }
  TUiResult MessageBox(const std::string& text, const std::string& caption, TUiIcon icon, TUiButtons buttons) override;

  // The answer a box gets when nobody is there to press a button.
  static TUiResult DefaultAnswer(TUiButtons buttons);

 private:
  std::deque<TUiResult> FAnswers;
  TObserver FObserver;
  int FShown = 0;
};

// "yes", "no", "ok", "cancel", "yestoall", "notoall" (any case); nullopt otherwise.
std::optional<TUiResult> ParseAnswer(std::string_view word);
const char* AnswerName(TUiResult result);

}  // namespace kest
