#pragma once
// The records of story text that outlive every scene object: the named
// histories and the read marks. Both point into script pages, which they read
// back through the pages the script side sets here once it runs; until then
// (and in a scene without scripts) every page counts as gone.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "text/history/history_formats.h"
#include "text/history/read_list.h"
#include "text/history/story_pages.h"
#include "text/var_evaluator.h"

namespace kest {

class TStoryRecords {
  // Declared first: the histories hold them from their creation on.
  struct TPagesRef final : IStoryPages {
    IStoryPages* Target = nullptr;
    bool Exists(const std::string& page) override { return Target && Target->Exists(page); }
    std::optional<std::vector<uint8_t>> TextCommand(const std::string& page, int32_t command) override {
      if (!Target) return std::nullopt;
      return Target->TextCommand(page, command);
    }
  };
  struct TVarsRef final : IVarEvaluator {
    explicit TVarsRef(std::function<IVarEvaluator*()> get) : Get(std::move(get)) {}
    std::function<IVarEvaluator*()> Get;
    std::optional<std::string> EvaluateText(std::string_view text) override {
      IVarEvaluator* vars = Get ? Get() : nullptr;
      if (!vars) return std::nullopt;
      return vars->EvaluateText(text);
    }
    std::optional<std::string> EvaluateCompiled(TKestParser& compiled) override {
      IVarEvaluator* vars = Get ? Get() : nullptr;
      if (!vars) return std::nullopt;
      return vars->EvaluateCompiled(compiled);
    }
  };

  TPagesRef FPages;
  TVarsRef FVars;

 public:
  // VAR tags a history lays out without a saved value ask `evaluator`'s
  // answer at that moment (none: they show nothing).
  explicit TStoryRecords(std::function<IVarEvaluator*()> evaluator) : FVars(std::move(evaluator)) {}

  void SetPages(IStoryPages* pages) { FPages.Target = pages; }
  IStoryPages& Pages() { return FPages; }

  TKestHistoryFormatManager History{FPages, FVars};
  TKestReadList ReadList;
};

}  // namespace kest
