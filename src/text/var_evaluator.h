#pragma once
// What variable glyphs ask for their values: an expression text, or an old
// stream's compiled expression, evaluated and read as a string.

#include <optional>
#include <string>
#include <string_view>

namespace kest {

class TKestParser;
class TParamCollection;
class TSysFuncMan;

class IVarEvaluator {
 public:
  virtual ~IVarEvaluator() = default;
  // Nothing when the text does not compile or the evaluation fails.
  virtual std::optional<std::string> EvaluateText(std::string_view text) = 0;
  virtual std::optional<std::string> EvaluateCompiled(TKestParser& compiled) = 0;
};

// Evaluates against the game's variables and functions.
class TStoreVarEvaluator : public IVarEvaluator {
 public:
  TStoreVarEvaluator(TParamCollection& store, TSysFuncMan& funcs) : FStore(store), FFuncs(funcs) {}
  std::optional<std::string> EvaluateText(std::string_view text) override;
  std::optional<std::string> EvaluateCompiled(TKestParser& compiled) override;

 private:
  TParamCollection& FStore;
  TSysFuncMan& FFuncs;
};

}  // namespace kest
