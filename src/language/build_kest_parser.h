#pragma once
// The expression builder: turns infix text into the operations of a compiled
// expression. Build rewrites the text step by step (string literals, calls,
// array elements, parentheses, then the operators by precedence), replacing
// each recognised part by the name of a temporary whose operation it has
// appended; a pass then removes the copies between temporaries. Operands stay
// text until SaveToStream classifies them (integer, float, flag, string or
// variable name) and writes the record that TKestParser reads.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/stream.h"
#include "language/kest_parser.h"

namespace kest {

struct TBuildOpeData {
  uint8_t Op = ocNone;
  std::string ResultName;
  // For ocFunc the first operand is the function name.
  std::vector<std::string> Operands;
};

class TBuildKestParser {
 public:
  // Raises "構文エラー" or "配列の添え字が不正です" (as EKestError) for text
  // it cannot build.
  void Parse(std::string_view text);
  // Raises "\"%s\" 関数名がありません" for an unknown function name and the
  // name followed by " 引数の数が不正です" for a wrong argument count.
  void SaveToStream(TStream& stream) const;

  const std::vector<TBuildOpeData>& Operations() const { return FOps; }

  // Parse, write and read back: the compiled form of text, as the player
  // makes it from text at run time. Raises the build errors.
  static TKestParser Compile(std::string_view text);

  // Texts nested deeper than this in parentheses or brackets are refused.
  static constexpr int32_t kMaxNesting = 256;

 private:
  struct TToken;
  void Build(std::string text);
  void BuildStrings(std::string& text);
  void BuildCalls(std::string& text);
  void BuildElements(std::string& text);
  void BuildParens(std::string& text);
  void BuildTokens(const std::string& text);
  void ApplySigns(std::vector<TToken>& tokens);
  void ApplyOperators(std::vector<TToken>& tokens);
  std::vector<std::string> Arguments(const std::string& text);
  std::string Argument(std::string text);
  void Collapse();
  std::string NewTemp();
  std::string NewElementTemp();
  void Append(uint8_t op, std::string result, std::vector<std::string> operands);

  std::vector<TBuildOpeData> FOps;
  int32_t FCounter = 0;
  int32_t FDepth = 0;
};

// Trims the text; empty text gives false. Builds it and runs it; false when it
// does not build, true when it ran (whatever the evaluation did).
bool EvalText(std::string_view text, TParamCollection& store, TSysFuncMan& funcs);

}  // namespace kest
