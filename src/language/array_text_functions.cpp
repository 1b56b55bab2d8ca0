// The functions between arrays and text: joining, splitting, searching and
// sorting the elements of an array as strings.
#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/errors.h"
#include "common/lists.h"
#include "common/sjis.h"
#include "language/builtin_functions.h"
#include "language/param_types.h"
#include "language/sys_func_man.h"
#include "language/text_match.h"

namespace kest {

namespace {

constexpr int32_t kFuncArrayToString = 28;
constexpr int32_t kFuncStringToArray = 29;
constexpr int32_t kFuncIndexOfStr = 30;
constexpr int32_t kFuncSortStr = 31;

constexpr std::string_view kLineBreak = "\r\n";
// The same limit as the string functions': a join of many long elements
// must not exhaust memory.
constexpr size_t kMaxStringBytes = size_t{64} << 20;

bool IsLead(std::string_view s, size_t pos) { return IsLeadByte(static_cast<uint8_t>(s[pos])); }

// CR, LF and CR LF each end a line; a break at the very end adds no line.
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] != '\r' && text[pos] != '\n') {
      pos += IsLead(text, pos) ? 2 : 1;
      continue;
    }
    lines.emplace_back(text.substr(start, pos - start));
    pos += text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
    start = pos;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

// Each character in separators cuts the text, a double-byte one as a whole;
// a cut at the very end adds no piece, two cuts side by side give an empty one.
std::vector<std::string> SplitAtAny(std::string_view text, std::string_view separators) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos)) {
    if (!IsCharOfSet(separators, text, pos)) continue;
    pieces.emplace_back(text.substr(start, pos - start));
    start = pos + CharLengthAt(text, pos);
  }
  if (start < text.size()) pieces.emplace_back(text.substr(start));
  return pieces;
}

void ArrayToStringFn(TFuncCall& c) {
  const TCustomParam& a = *c.Args[0].Value;
  const std::string sep = c.Has(1) ? c.Str(1) : std::string(kLineBreak);
  std::string out;
  const int32_t n = a.Count();
  for (int32_t i = 0; i < n; ++i) {
    if (i > 0) out += sep;
    out += a.GetStr(i);
    if (out.size() > kMaxStringBytes) throw EKestError("ArrayToString: string too long");
  }
  c.Result.SetAsStr(out);
}

// StringToArray(text, a [, sep]): a := the pieces as a one-dimensional array,
// or the empty string when there is none; the result is unchanged.
void StringToArrayFn(TFuncCall& c) {
  const std::string text = c.Str(0);
  TCustomParam& a = c.Var(1, "StringToArray");
  const std::string sep = c.Has(2) ? c.Str(2) : std::string(kLineBreak);
  const std::vector<std::string> pieces = sep == kLineBreak ? SplitLines(text) : SplitAtAny(text, sep);
  if (pieces.empty()) {
    a.SetAsStr({});
    return;
  }
  const std::array<int32_t, 1> sizes{static_cast<int32_t>(std::min(pieces.size(), size_t{INT32_MAX}))};
  a.SetDims(sizes);
  for (size_t i = 0; i < pieces.size(); ++i) a.SetStr(static_cast<int32_t>(i), pieces[i]);
}

bool ElementMatches(std::string_view element, std::string_view s, bool caseSensitive, bool partial) {
  if (partial) return FindText(element, s, 0, !caseSensitive) != std::string_view::npos;
  return caseSensitive ? element == s : SameName(element, s);
}

// IndexOfStr(a, s [, caseSensitive [, partial]]): the first matching index,
// -1 for none. A part matches only where it begins and ends on character
// boundaries, so "A" is not found inside ア.
void IndexOfStrFn(TFuncCall& c) {
  const TCustomParam& a = *c.Args[0].Value;
  const std::string s = c.Str(1);
  const bool caseSensitive = !c.Has(2) || c.Flag(2);
  const bool partial = c.Has(3) && c.Flag(3);
  const int32_t n = a.Count();
  for (int32_t i = 0; i < n; ++i) {
    if (ElementMatches(a.GetStr(i), s, caseSensitive, partial)) {
      c.Result.SetAsInt(i);
      return;
    }
  }
  c.Result.SetAsInt(-1);
}

void SortAsStrings(TCustomParam& a, bool descending) {
  const int32_t n = a.Count();
  std::vector<std::string> items;
  items.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) items.push_back(a.GetStr(i));
  if (descending) {
    std::sort(items.begin(), items.end(), std::greater<>());
  } else {
    std::sort(items.begin(), items.end());
  }
  for (int32_t i = 0; i < n; ++i) a.SetStr(i, items[static_cast<size_t>(i)]);
}

void SortAsNumbers(TCustomParam& a, bool descending) {
  const int32_t n = a.Count();
  TExtendedList items;
  for (int32_t i = 0; i < n; ++i) items.Add(a.GetFloat(i));
  items.Sort(descending);
  for (int32_t i = 0; i < n; ++i) a.SetFloat(i, items.Get(i));
}

// SortStr(a [, descending [, numeric]]): strings in byte order, which for
// single-byte text is the case-sensitive order; the result is unchanged.
void SortStrFn(TFuncCall& c) {
  TCustomParam& a = c.Var(0, "SortStr");
  const bool descending = c.Has(1) && c.Flag(1);
  if (c.Has(2) && c.Flag(2)) {
    SortAsNumbers(a, descending);
  } else {
    SortAsStrings(a, descending);
  }
}

}  // namespace

void RegisterArrayTextFunctions(TSysFuncMan& funcs) {
  funcs.Register(kFuncArrayToString, ArrayToStringFn);
  funcs.Register(kFuncStringToArray, StringToArrayFn);
  funcs.Register(kFuncIndexOfStr, IndexOfStrFn);
  funcs.Register(kFuncSortStr, SortStrFn);
}

}  // namespace kest
