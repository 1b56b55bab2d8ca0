#include "platform/dialogs.h"

#include "common/sjis.h"

namespace kest {

TUiResult TScriptedDialogs::DefaultAnswer(TUiButtons buttons) {
  return buttons == TUiButtons::Ok || buttons == TUiButtons::OkCancel ? TUiResult::Ok : TUiResult::Yes;
}

TUiResult TScriptedDialogs::MessageBox(const std::string& text, const std::string& caption, TUiIcon,
                                       TUiButtons buttons) {
  ++FShown;
  std::optional<TUiResult> answer;
  if (!FAnswers.empty()) {
    answer = FAnswers.front();
    FAnswers.pop_front();
  } else if (buttons == TUiButtons::Ok) {
    answer = TUiResult::Ok;
  }
  if (FObserver) FObserver(caption, text, answer.value_or(TUiResult::None));
  if (!answer) throw TUnansweredBox{caption, text};
  return *answer;
}

std::optional<TUiResult> ParseAnswer(std::string_view word) {
  static const struct {
    const char* name;
    TUiResult result;
  } kNames[] = {{"yes", TUiResult::Yes},
                {"no", TUiResult::No},
                {"ok", TUiResult::Ok},
                {"cancel", TUiResult::Cancel},
                {"yestoall", TUiResult::YesToAll},
                {"notoall", TUiResult::NoToAll}};
  for (const auto& n : kNames)
    if (SameName(word, n.name)) return n.result;
  return std::nullopt;
}

const char* AnswerName(TUiResult result) {
  switch (result) {
    case TUiResult::Yes: return "yes";
    case TUiResult::No: return "no";
    case TUiResult::Ok: return "ok";
    case TUiResult::Cancel: return "cancel";
    case TUiResult::YesToAll: return "yestoall";
    case TUiResult::NoToAll: return "notoall";
    default: return "none";
  }
}

}  // namespace kest
