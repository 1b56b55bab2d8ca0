// The path functions: file names split at the backslash and the colon. The
// byte 5C is also the second byte of many double-byte characters (表 is
// 95 5C), so delimiters are found by walking the characters, never by a
// plain byte search.
#include <string>
#include <string_view>

#include "common/sjis.h"
#include "language/builtin_functions.h"
#include "language/sys_func_man.h"
#include "language/text_match.h"

namespace kest {
namespace {

constexpr std::string_view kPathDelimiters = "\\:";
constexpr std::string_view kExtDelimiters = ".\\:";

bool IsLead(std::string_view s, size_t pos) { return IsLeadByte(static_cast<uint8_t>(s[pos])); }

// The 0-based offset of the last single-byte character of s that is one of
// delims, or npos.
size_t LastDelimiter(std::string_view delims, std::string_view s) {
  size_t last = std::string_view::npos;
  for (size_t pos = 0; pos < s.size(); pos += IsLead(s, pos) ? 2 : 1) {
    if (!IsLead(s, pos) && delims.find(s[pos]) != std::string_view::npos) last = pos;
  }
  return last;
}

// Whether 1-based byte i of s begins a character that is one of the
// characters of delims; a position outside s, or inside a double-byte
// character, is no delimiter.
bool IsDelimiterAt(std::string_view delims, std::string_view s, int32_t i) {
  if (i < 1 || i > static_cast<int32_t>(s.size())) return false;
  const auto target = static_cast<size_t>(i - 1);
  size_t pos = 0;
  while (pos < target) pos += IsLead(s, pos) ? 2 : 1;
  return pos == target && IsCharOfSet(delims, s, pos);
}

// Where the extension begins: the last dot behind the last path delimiter,
// else the end.
size_t ExtStart(std::string_view s) {
  const size_t at = LastDelimiter(kExtDelimiters, s);
  return at != std::string_view::npos && s[at] == '.' ? at : s.size();
}

void ExtractFilePathFn(TFuncCall& c) {
  const std::string s = c.Str(0);
  const size_t at = LastDelimiter(kPathDelimiters, s);
  c.Result.SetAsStr(at == std::string::npos ? std::string() : s.substr(0, at + 1));
}

void ExtractFileNameFn(TFuncCall& c) {
  const std::string s = c.Str(0);
  const size_t at = LastDelimiter(kPathDelimiters, s);
  c.Result.SetAsStr(at == std::string::npos ? s : s.substr(at + 1));
}

void ExtractFileExtFn(TFuncCall& c) {
  const std::string s = c.Str(0);
  c.Result.SetAsStr(s.substr(ExtStart(s)));
}

void IsPathDelimiterFn(TFuncCall& c) { c.Result.SetAsFlag(IsDelimiterAt("\\", c.Str(0), c.Int(1))); }

void AddBackSlashFn(TFuncCall& c) {
  const std::string s = c.Str(0);
  const bool ends = IsDelimiterAt("\\", s, static_cast<int32_t>(s.size()));
  c.Result.SetAsStr(ends ? s : s + '\\');
}

void ChangeFileExtFn(TFuncCall& c) {
  const std::string s = c.Str(0);
  c.Result.SetAsStr(s.substr(0, ExtStart(s)) + c.Str(1));
}

void IsDelimiterFn(TFuncCall& c) { c.Result.SetAsFlag(IsDelimiterAt(c.Str(0), c.Str(1), c.Int(2))); }

}  // namespace

void RegisterPathFunctions(TSysFuncMan& funcs) {
  funcs.Register(75, ExtractFilePathFn);
  funcs.Register(76, ExtractFileNameFn);
  funcs.Register(77, ExtractFileExtFn);
  funcs.Register(78, IsPathDelimiterFn);
  funcs.Register(79, AddBackSlashFn);
  funcs.Register(80, ChangeFileExtFn);
  funcs.Register(81, IsDelimiterFn);
}

}  // namespace kest
