#include "language/param_errors.h"

#include "common/sjis.h"

namespace kest {
namespace {

// The texts live in the source as UTF-8; each is turned into CP932 on first use.
std::string Indexed(std::string_view name, std::span<const int32_t> indices) {
  std::string s(name);
  s += '[';
  s += JoinNumbers(indices);
  s += "]\r\n";
  return s;
}

}  // namespace

std::string JoinNumbers(std::span<const int32_t> numbers) {
  std::string s;
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i) s += ',';
    s += std::to_string(numbers[i]);
  }
  return s;
}

std::string ErrBadIndex(int32_t index) {
  static const std::string text = Utf8ToCp932("配列の添字が不正です");
  return "[" + std::to_string(index) + "]:" + text;
}

std::string ErrBadElementCount(std::string_view sizes) {
  static const std::string head = Utf8ToCp932("配列の要素数[");
  static const std::string tail = Utf8ToCp932("]が不正です");
  return head + std::string(sizes) + tail;
}

std::string ErrBadDims(std::span<const int32_t> sizes) { return ErrBadElementCount(JoinNumbers(sizes)); }

std::string ErrBadVariable(std::string_view name) {
  static const std::string text = Utf8ToCp932("不正な変数です");
  return std::string(name) + ":" + text;
}

std::string ErrBadName(std::string_view name) {
  static const std::string text = Utf8ToCp932("：変数名が不正です");
  return "\"" + std::string(name) + "\"" + text;
}

std::string ErrBadSubscript(std::string_view name, std::span<const int32_t> indices) {
  static const std::string text = Utf8ToCp932("添え字が不正です");
  return Indexed(name, indices) + text;
}

std::string ErrBeyondElements(std::string_view name, std::span<const int32_t> indices) {
  static const std::string text = Utf8ToCp932("要素数を超えています");
  return Indexed(name, indices) + text;
}

std::string ErrNoVariable(std::string_view name) {
  static const std::string text = Utf8ToCp932("変数がありません");
  return "\"" + std::string(name) + "\" " + text;
}

std::string ErrInternal() {
  static const std::string text = Utf8ToCp932("内部エラー");
  return text;
}

}  // namespace kest
