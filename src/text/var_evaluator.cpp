#include "text/var_evaluator.h"

#include "common/errors.h"
#include "language/build_kest_parser.h"
#include "language/kest_parser.h"

namespace kest {

std::optional<std::string> TStoreVarEvaluator::EvaluateText(std::string_view text) {
  TKestParser parser;
  try {
    parser = TBuildKestParser::Compile(text);
  } catch (const EKestError&) {
    return std::nullopt;
  }
  return EvaluateCompiled(parser);
}

std::optional<std::string> TStoreVarEvaluator::EvaluateCompiled(TKestParser& compiled) {
  compiled.Execute(FStore, FFuncs);
  if (const TCustomParam* result = compiled.Result()) return result->GetAsStr();
  return std::nullopt;
}

}  // namespace kest
