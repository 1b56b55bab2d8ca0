#include "language/expression_errors.h"

#include "common/sjis.h"

namespace kest {

// The texts live in the source as UTF-8; each is turned into CP932 on first use.

std::string ErrSyntax() {
  static const std::string text = Utf8ToCp932("構文エラー");
  return text;
}

std::string ErrBadArrayIndex() {
  static const std::string text = Utf8ToCp932("配列の添え字が不正です");
  return text;
}

std::string ErrNoFunction(std::string_view name) {
  static const std::string text = Utf8ToCp932(" 関数名がありません");
  return "\"" + std::string(name) + "\"" + text;
}

std::string ErrArgCount(std::string_view name) {
  static const std::string text = Utf8ToCp932(" 引数の数が不正です");
  return std::string(name) + text;
}

std::string ErrGetPropArgs() {
  static const std::string text = Utf8ToCp932("GetPropの引数が違います");
  return text;
}

std::string ErrBadOperation(std::string_view resultName, std::string_view opName) {
  static const std::string head = Utf8ToCp932("不正な式\r\n\r\n代入先:");
  static const std::string kind = Utf8ToCp932("演算タイプ:");
  return head + std::string(resultName) + kind + std::string(opName);
}

std::string ErrDivisionByZero() { return "Division by zero"; }

std::string ErrNotFinite() { return "Invalid floating point operation"; }

std::string ErrNestedTooDeep() { return "Expressions nested too deeply"; }

std::string ErrNoFunctionBody(int number) { return "System function " + std::to_string(number) + " is not available"; }

std::string ErrNoSuchFunction(int number) { return "System function " + std::to_string(number) + " does not exist"; }

std::string ErrNeedVariable(std::string_view function) {
  static const std::string text = Utf8ToCp932(":変数が見つかりません");
  return std::string(function) + text;
}

}  // namespace kest
