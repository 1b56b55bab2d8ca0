// Running expression text: EvalText for the interpreter and the Calc function
// for scripts. Both build the text, write it and read it back as the player
// does with stored expressions, then run it.
#include "common/errors.h"
#include "language/build_kest_parser.h"
#include "language/builtin_functions.h"
#include "language/sys_func_man.h"

namespace kest {
namespace {

std::string TrimText(std::string_view s) {
  size_t first = 0;
  size_t last = s.size();
  while (first < last && static_cast<uint8_t>(s[first]) <= ' ') ++first;
  while (last > first && static_cast<uint8_t>(s[last - 1]) <= ' ') --last;
  return std::string(s.substr(first, last - first));
}

bool Compiled(std::string_view text, TKestParser& parser) {
  try {
    parser = TBuildKestParser::Compile(text);
    return true;
  } catch (const EKestError&) {
    return false;
  }
}

// The text's own value is not returned: Calc serves texts that assign. The
// nested evaluation has temporaries of its own, so the caller's stay intact.
// The flag is written first: a stored call may put its result in a store
// variable, which the nested text may destroy (PopVar, DeleteStack).
void CalcFn(TFuncCall& c) {
  const std::string text = TrimText(c.Str(0));
  if (text.empty()) return;
  TKestParser parser;
  if (!Compiled(text, parser)) return;
  c.Result.SetAsFlag(true);
  parser.Execute(c.Store, c.Funcs);
}

}  // namespace

bool EvalText(std::string_view text, TParamCollection& store, TSysFuncMan& funcs) {
  const std::string trimmed = TrimText(text);
  if (trimmed.empty()) return false;
  TKestParser parser;
  if (!Compiled(trimmed, parser)) return false;
  parser.Execute(store, funcs);
  return true;
}

void RegisterEvalFunctions(TSysFuncMan& funcs) { funcs.Register(kFuncCalc, CalcFn); }

}  // namespace kest
