// The string functions: byte and character forms of length, copy, delete,
// insert and search, trimming, padding and the width conversions. Positions
// are 1-based; the byte forms follow the rules of their character twins so
// that a text of single-byte characters gives the same answer either way.
#include <algorithm>
#include <cstdio>

#include "common/errors.h"
#include "common/jstring.h"
#include "common/sjis.h"
#include "common/width_conversion.h"
#include "language/builtin_functions.h"
#include "language/param_convert.h"
#include "language/param_types.h"
#include "language/sys_func_man.h"
#include "language/text_match.h"

namespace kest {
namespace {

// No script needs longer strings; the limit keeps a loop of StringOfChar from
// exhausting memory.
constexpr int64_t kMaxStringBytes = int64_t{64} << 20;
constexpr int32_t kMaxDigits = 255;

int32_t ByteLength(const std::string& s) { return static_cast<int32_t>(s.size()); }

std::string ByteCopy(const std::string& s, int32_t start, int64_t count) {
  if (count <= 0) return {};
  const int64_t end = std::min<int64_t>(int64_t{start} + count, int64_t{ByteLength(s)} + 1);
  const int64_t begin = std::max<int64_t>(start, 1);
  if (begin >= end) return {};
  return s.substr(static_cast<size_t>(begin - 1), static_cast<size_t>(end - begin));
}

int64_t CountArg(const TFuncCall& c, size_t i) { return c.Has(i) ? c.Int(i) : INT64_MAX / 2; }

std::string ZeroPadded(std::string digits, int32_t width) {
  if (static_cast<int32_t>(digits.size()) < width) digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return digits;
}

// The digit count is read as the text of the second argument; a text that is
// no number is refused, as a bad format would be. The count is never spliced
// into a format: it only says how far to pad, and a negative one pads nothing.
void IntToStrFn(TFuncCall& c) {
  const int32_t v = c.Int(0);
  if (!c.Has(1)) {
    c.Result.SetAsStr(IntToStr(v));
    return;
  }
  int32_t digits = 0;
  if (!TryStrToInt(c.Str(1), digits)) throw EKestError("IntToStr: invalid digit count");
  const int64_t magnitude = v < 0 ? -int64_t{v} : int64_t{v};
  const std::string body = ZeroPadded(std::to_string(magnitude), std::clamp(digits, 0, kMaxDigits));
  c.Result.SetAsStr(v < 0 ? "-" + body : body);
}

void IntToHexFn(TFuncCall& c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X", static_cast<uint32_t>(c.Int(0)));
  c.Result.SetAsStr(ZeroPadded(buffer, std::clamp(c.Int(1), 0, kMaxDigits)));
}

void LengthFn(TFuncCall& c) { c.Result.SetAsInt(ByteLength(c.Str(0))); }
void JLengthFn(TFuncCall& c) { c.Result.SetAsInt(JLength(c.Str(0))); }

void CopyFn(TFuncCall& c) { c.Result.SetAsStr(ByteCopy(c.Str(0), c.Int(1), CountArg(c, 2))); }

void JCopyFn(TFuncCall& c) {
  const int64_t count = std::min<int64_t>(CountArg(c, 2), INT32_MAX);
  c.Result.SetAsStr(JCopy(c.Str(0), c.Int(1), static_cast<int32_t>(count)));
}

// The deleting and inserting forms change their string variable in place and
// leave the result alone; given a literal they change nothing.
void DeleteFn(TFuncCall& c) {
  TCustomParam* target = c.VarOrNull(0);
  if (!target) return;
  std::string s = target->GetAsStr();
  const auto begin = static_cast<size_t>(std::max(c.Int(1), 1) - 1);
  if (begin >= s.size()) return;
  const int64_t count = CountArg(c, 2);
  if (count <= 0) return;
  s.erase(begin, static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(s.size()))));
  target->SetAsStr(s);
}

void JDeleteFn(TFuncCall& c) {
  TCustomParam* target = c.VarOrNull(0);
  if (!target) return;
  std::string s = target->GetAsStr();
  JDelete(s, c.Int(1), static_cast<int32_t>(std::min<int64_t>(CountArg(c, 2), INT32_MAX)));
  target->SetAsStr(s);
}

void InsertFn(TFuncCall& c) {
  TCustomParam* target = c.VarOrNull(1);
  if (!target) return;
  std::string s = target->GetAsStr();
  const auto at = static_cast<size_t>(std::max(c.Int(2), 1) - 1);
  s.insert(std::min(at, s.size()), c.Str(0));
  target->SetAsStr(s);
}

void JInsertFn(TFuncCall& c) {
  TCustomParam* target = c.VarOrNull(1);
  if (!target) return;
  std::string s = target->GetAsStr();
  JInsert(c.Str(0), s, c.Int(2));
  target->SetAsStr(s);
}

void CompareStrFn(TFuncCall& c) {
  const std::string a = c.Str(0);
  const std::string b = c.Str(1);
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) {
      c.Result.SetAsInt(static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i]));
      return;
    }
  }
  c.Result.SetAsInt(static_cast<int32_t>(static_cast<int64_t>(a.size()) - static_cast<int64_t>(b.size())));
}

void CompareTextFn(TFuncCall& c) { c.Result.SetAsInt(CompareFolded(c.Str(0), c.Str(1))); }

void PosFn(TFuncCall& c) {
  const std::string sub = c.Str(0);
  const size_t at = sub.empty() ? std::string::npos : c.Str(1).find(sub);
  c.Result.SetAsInt(at == std::string::npos ? 0 : static_cast<int32_t>(at) + 1);
}

void JPosFn(TFuncCall& c) { c.Result.SetAsInt(JPos(c.Str(0), c.Str(1))); }

void TrimFn(TFuncCall& c) {
  const std::string s = c.Str(0);
  size_t first = 0;
  size_t last = s.size();
  while (first < last && static_cast<uint8_t>(s[first]) <= ' ') ++first;
  while (last > first && static_cast<uint8_t>(s[last - 1]) <= ' ') --last;
  c.Result.SetAsStr(s.substr(first, last - first));
}

void JTrimFn(TFuncCall& c) { c.Result.SetAsStr(JTrim(c.Str(0))); }

void FixStrFn(TFuncCall& c) {
  std::string s = c.Str(0);
  size_t last = 0;
  size_t pos = 0;
  while (pos < s.size()) {
    last = pos;
    pos += IsLeadByte(static_cast<uint8_t>(s[pos])) ? 2 : 1;
  }
  if (!s.empty() && pos > s.size()) s.erase(last);
  c.Result.SetAsStr(s);
}

// Case changes touch single-byte ASCII letters only, the one folding rule of
// the player, so a second byte of a double-byte character never changes.
void LowerCaseFn(TFuncCall& c) { c.Result.SetAsStr(FoldName(c.Str(0))); }
void UpperCaseFn(TFuncCall& c) { c.Result.SetAsStr(UpperName(c.Str(0))); }

void StringOfCharFn(TFuncCall& c) {
  const std::string s = c.Str(0);
  const int32_t n = c.Int(1);
  if (n < 1 || s.empty()) {
    c.Result.SetAsStr({});
    return;
  }
  if (static_cast<int64_t>(s.size()) * n > kMaxStringBytes) throw EKestError("StringOfChar: string too long");
  std::string out;
  out.reserve(s.size() * static_cast<size_t>(n));
  for (int32_t k = 0; k < n; ++k) out += s;
  c.Result.SetAsStr(out);
}

// Matches begin and end on character boundaries, as JPos's do; the result
// is held to the same limit as StringOfChar's.
void StringReplaceFn(TFuncCall& c) {
  const std::string s = c.Str(0);
  const std::string old = c.Str(1);
  const std::string replacement = c.Str(2);
  const bool all = c.Has(3) && c.Flag(3);
  const bool ignoreCase = c.Has(4) && c.Flag(4);
  std::string out;
  size_t pos = 0;
  for (size_t at = FindText(s, old, 0, ignoreCase); at != std::string::npos;
       at = all ? FindText(s, old, pos, ignoreCase) : std::string::npos) {
    out.append(s, pos, at - pos).append(replacement);
    pos = at + old.size();
    if (static_cast<int64_t>(out.size()) > kMaxStringBytes) throw EKestError("StringReplace: string too long");
  }
  out.append(s, pos);
  c.Result.SetAsStr(out);
}

void HanToZenFn(TFuncCall& c) { c.Result.SetAsStr(HanToZen(c.Str(0))); }
void ZenToHanFn(TFuncCall& c) { c.Result.SetAsStr(ZenToHan(c.Str(0))); }

void AddDelimiterFn(TFuncCall& c) {
  const std::string s = c.Str(1);
  c.Result.SetAsStr(s.empty() ? std::string() : s + c.Str(0));
}

void StrToIntDefFn(TFuncCall& c) {
  int32_t v = 0;
  c.Result.SetAsInt(TryStrToInt(c.Str(0), v) ? v : c.Int(1));
}

void StrToFloatDefFn(TFuncCall& c) {
  long double v = 0;
  c.Result.SetAsFloat(TryStrToFloat(c.Str(0), v) ? v : c.Float(1));
}

void ChrFn(TFuncCall& c) { c.Result.SetAsStr(std::string(1, static_cast<char>(static_cast<uint8_t>(c.Int(0))))); }

void OrdFn(TFuncCall& c) {
  const std::string s = c.Str(0);
  c.Result.SetAsInt(s.empty() ? 0 : static_cast<uint8_t>(s[0]));
}

}  // namespace

void RegisterStringFunctions(TSysFuncMan& funcs) {
  funcs.Register(0, IntToStrFn);
  funcs.Register(1, IntToHexFn);
  funcs.Register(5, LengthFn);
  funcs.Register(6, JLengthFn);
  funcs.Register(7, CopyFn);
  funcs.Register(8, JCopyFn);
  funcs.Register(9, DeleteFn);
  funcs.Register(10, JDeleteFn);
  funcs.Register(11, InsertFn);
  funcs.Register(12, JInsertFn);
  funcs.Register(13, CompareStrFn);
  funcs.Register(14, CompareTextFn);
  funcs.Register(15, PosFn);
  funcs.Register(16, JPosFn);
  funcs.Register(17, TrimFn);
  funcs.Register(18, JTrimFn);
  funcs.Register(64, FixStrFn);
  funcs.Register(73, LowerCaseFn);
  funcs.Register(74, UpperCaseFn);
  funcs.Register(82, StringOfCharFn);
  funcs.Register(83, StringReplaceFn);
  funcs.Register(85, HanToZenFn);
  funcs.Register(86, ZenToHanFn);
  funcs.Register(133, AddDelimiterFn);
  funcs.Register(138, StrToIntDefFn);
  funcs.Register(139, StrToFloatDefFn);
  funcs.Register(152, ChrFn);
  funcs.Register(153, OrdFn);
}

}  // namespace kest
