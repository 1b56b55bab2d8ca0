#pragma once
// What the project tests share: a user interface that records what it was
// asked, and a settings file written field by field.

#include <string>
#include <string_view>
#include <vector>

#include "script/project_ui.h"
#include "script/script_test_util.h"

namespace kest::test {

// Answers its questions from Answers, then with OK.
class TAnsweringUi final : public IProjectUi {
 public:
  void ShowMessage(const std::string&, const std::string& text, TMessageIcon) override { Messages.push_back(text); }
  TPromptAnswer AskOkCancel(const std::string&, const std::string& text) override {
    Questions.push_back(text);
    if (Answers.empty()) return TPromptAnswer::Ok;
    const TPromptAnswer answer = Answers.front();
    Answers.erase(Answers.begin());
    return answer;
  }
  void ShowStartupError(const std::string& text) override { Errors.push_back(text); }
  void SetTitle(const std::string& title) override { Title = title; }
  void ReportSaveFailure(const std::string& text) override { SaveFailures.push_back(text); }

  std::vector<std::string> Messages, Questions, Errors, SaveFailures;
  std::vector<TPromptAnswer> Answers;
  std::string Title;
};

// A settings file of version 116, written field by field.
inline TBytes Settings(std::string_view start = "start.ksb", std::string_view exit = "exit.ksb",
                       std::string_view disc_prompt = "", std::string_view quit_text = "") {
  TRecordBytes b;
  b.Int(116).Str("Kest").Int(640).Int(480).Int(0).Int(0).Str(start).Str(exit).Str("").Int(0);
  b.Byte(1).Byte(0).Str(".ogg").Byte(1).Byte(0).Byte(0).Str(disc_prompt).Str(quit_text);
  b.Int(3);
  b.Byte(1).Str("Clear").Int(10);
  b.Byte(4).Str("Hero").Str("kest");
  b.Byte(0).Str("Ghost");
  b.Int(1).Str("disc2").Int(2);
  return b.Bytes();
}

}  // namespace kest::test
