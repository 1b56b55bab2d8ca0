// Writing what the builder made: each operand text becomes an integer, float,
// flag or string literal, or a variable name; a call's name becomes its
// function number.
#include "common/errors.h"
#include "language/build_kest_parser.h"
#include "language/expression_errors.h"
#include "language/function_table.h"
#include "language/param_convert.h"

namespace kest {
namespace {

TOperand Classify(const std::string& text) {
  int32_t i = 0;
  if (TryStrToInt(text, i)) return TOperand::Int(i);
  long double x = 0;
  if (TryStrToFloat(text, x)) return TOperand::FloatValue(x);
  if (text == "TRUE" || text == "FALSE") return TOperand::Flag(text == "TRUE");
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    return TOperand::Str(text.substr(1, text.size() - 2));
  return TOperand::Reference(text);
}

}  // namespace

void TBuildKestParser::SaveToStream(TStream& stream) const {
  WriteInt(stream, static_cast<int32_t>(FOps.size()));
  for (const TBuildOpeData& op : FOps) {
    size_t first = 0;
    uint8_t funcId = 0;
    if (op.Op == ocFunc) {
      const std::string& name = op.Operands.at(0);
      const int32_t number = FindFuncByName(name);
      if (number < 0) throw EKestError(ErrNoFunction(name));
      if (!FindFunc(number)->TakesArgs(static_cast<int32_t>(op.Operands.size()) - 1))
        throw EKestError(ErrArgCount(name));
      funcId = static_cast<uint8_t>(number);
      first = 1;
    }
    WriteByte(stream, op.Op);
    WriteStr(stream, op.ResultName);
    WriteInt(stream, static_cast<int32_t>(op.Operands.size() - first));
    if (op.Op == ocFunc) WriteByte(stream, funcId);
    for (size_t k = first; k < op.Operands.size(); ++k) Classify(op.Operands[k]).SaveToStream(stream);
  }
}

TKestParser TBuildKestParser::Compile(std::string_view text) {
  TBuildKestParser builder;
  builder.Parse(text);
  TByteStream stream;
  builder.SaveToStream(stream);
  stream.Seek(0);
  TKestParser parser;
  parser.LoadFromStream(stream);
  return parser;
}

}  // namespace kest
