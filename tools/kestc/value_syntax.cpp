#include "kestc/value_syntax.h"

#include <optional>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "kestc/diagnostics.h"
#include "kestc/source_text.h"
#include "language/build_kest_parser.h"
#include "language/expression_decompiler.h"

namespace kest::kestc {

namespace {

constexpr std::string_view kRawPrefix = "raw:";

// The length of the UTF-8 sequence that starts with b; 1 for a stray byte.
size_t SequenceLength(uint8_t b) {
  if (b >= 0xF0 && b <= 0xF4) return 4;
  if (b >= 0xE0) return b <= 0xEF ? 3 : 1;
  if (b >= 0xC2) return 2;
  return 1;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

TKestParser DecodeRaw(std::string_view hex, int32_t column) {
  const std::vector<uint8_t> bytes = DecodeHex(hex, column + static_cast<int32_t>(kRawPrefix.size()));
  TByteStream stream{std::span<const uint8_t>(bytes)};
  TKestParser parser;
  try {
    parser.LoadFromStream(stream);
  } catch (const EKestError&) {
    throw ESourceError(column, "this raw expression record is damaged");
  }
  if (stream.Position() != static_cast<int64_t>(bytes.size()))
    throw ESourceError(column, "this raw expression record has bytes past its end");
  return parser;
}

std::string RawSource(const TKestParser& e) {
  const std::vector<uint8_t> bytes = RecordBytes(e);
  return std::string(kRawPrefix) + HexText(bytes);
}

// The decompiled text of e as UTF-8, when it converts both ways unchanged and
// fits on one line.
std::optional<std::string> DecompiledText(const TKestParser& e) {
  const std::optional<std::string> text = DecompileExpression(e);
  if (!text || text->empty()) return std::nullopt;
  const std::optional<std::string> utf8 = Cp932ToUtf8Strict(*text);
  if (!utf8 || Utf8ToCp932Strict(*utf8) != *text) return std::nullopt;
  for (char c : *utf8)
    if (static_cast<uint8_t>(c) < 0x20 || c == 0x7F) return std::nullopt;
  if (utf8->starts_with(kRawPrefix) || TrimBlanks(*utf8) != *utf8) return std::nullopt;
  return utf8;
}

template <class F>
bool ReadsBack(const TKestParser& e, F&& compile) {
  try {
    return RecordBytes(compile()) == RecordBytes(e);
  } catch (const ESourceError&) {
    return false;
  }
}

TKestParser CompileElement(std::string_view element, int32_t column) {
  return IsWrapped(element) || element.starts_with(kRawPrefix) ? CompileValue(element, column)
                                                               : CompileExpression(element, column);
}

std::string ElementSource(const TKestParser& e) {
  if (IsEmptyExpression(e)) return "()";
  if (const auto text = DecompiledText(e)) {
    for (const std::string& candidate : {*text, "(" + *text + ")"}) {
      const bool single = [&] {
        try {
          return SplitOutside(candidate, ',', 1).size() == 1;
        } catch (const ESourceError&) {
          return false;
        }
      }();
      if (single && ReadsBack(e, [&] { return CompileElement(candidate, 1); })) return candidate;
    }
  }
  return RawSource(e);
}

}  // namespace

std::string ToCp932(std::string_view utf8, int32_t column) {
  if (auto whole = Utf8ToCp932Strict(utf8)) return *whole;
  size_t i = 0;
  int32_t col = column;
  while (i < utf8.size()) {
    const size_t n = std::min(SequenceLength(static_cast<uint8_t>(utf8[i])), utf8.size() - i);
    const std::string_view c = utf8.substr(i, n);
    if (!Utf8ToCp932Strict(c)) {
      const bool valid = n > 1 || static_cast<uint8_t>(c[0]) < 0x80;
      throw ESourceError(col, valid ? "the character " + std::string(c) + " has no Shift-JIS form"
                                    : std::string("this byte is not UTF-8"));
    }
    i += n;
    ++col;
  }
  throw ESourceError(column, "this text has no Shift-JIS form");
}

TKestParser CompileExpression(std::string_view text, int32_t column) {
  text = TrimBlanks(text);
  if (text.empty()) return TKestParser();
  if (text.starts_with(kRawPrefix)) return DecodeRaw(text.substr(kRawPrefix.size()), column);
  const std::string cp932 = ToCp932(text, column);
  try {
    return TBuildKestParser::Compile(cp932);
  } catch (const EKestError& error) {
    throw ESourceError(column, Cp932ToUtf8(error.what()));
  }
}

TKestParser CompileValue(std::string_view value, int32_t column) {
  if (IsWrapped(value)) return CompileExpression(value.substr(1, value.size() - 2), column + 1);
  return CompileExpression(value, column);
}

std::vector<TKestParser> CompileList(std::string_view list, int32_t column) {
  if (!IsWrapped(list)) throw ESourceError(column, "a list is written (VALUE, VALUE, ...)");
  const std::string_view inner = list.substr(1, list.size() - 2);
  std::vector<TKestParser> out;
  if (TrimBlanks(inner).empty()) return out;
  for (const TPiece& piece : SplitOutside(inner, ',', column + 1)) {
    const int32_t at = column + 1 + CharCount(inner.substr(0, piece.Offset));
    const std::string_view element = TrimBlanks(piece.Text);
    if (element.empty()) throw ESourceError(at, "an empty list element: write () for an empty expression");
    const size_t blanks = piece.Text.find_first_not_of(" \t");
    out.push_back(CompileElement(element, at + static_cast<int32_t>(blanks)));
  }
  return out;
}

std::vector<TPiece> SplitOutside(std::string_view text, char separator, int32_t column) {
  std::vector<TPiece> pieces;
  const std::string stops(1, separator);
  size_t start = 0;
  size_t i = 0;
  for (;;) {
    i = ScanValue(text, i, stops, column);
    if (i < text.size() && text[i] != separator) {
      ++i;
      continue;
    }
    pieces.push_back({text.substr(start, i - start), start});
    if (i >= text.size()) return pieces;
    start = ++i;
  }
}

bool IsWrapped(std::string_view text) {
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return false;
  int32_t depth = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      ++i;
      while (i < text.size() && text[i] != '"') i += text[i] == '\\' ? 2 : 1;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      return i == text.size() - 1;
    }
  }
  return false;
}

std::string DecodeText(std::string_view value, int32_t column) {
  if (value.empty() || value.front() != '"') return ToCp932(value, column);
  if (value.size() < 2 || value.back() != '"') throw ESourceError(column, "a text is written \"...\"");
  std::string out;
  std::string run;
  int32_t runColumn = column + 1;
  auto flush = [&](int32_t nextColumn) {
    out += ToCp932(run, runColumn);
    run.clear();
    runColumn = nextColumn;
  };
  const std::string_view body = value.substr(1, value.size() - 2);
  for (size_t i = 0; i < body.size(); ++i) {
    const int32_t col = column + 1 + CharCount(body.substr(0, i));
    if (body[i] == '"') throw ESourceError(col, "a quote inside a text is written \\\"");
    if (body[i] != '\\' || i + 1 >= body.size()) {
      run += body[i];
      continue;
    }
    const char next = body[i + 1];
    if (next == '"' || next == '\\') {
      run += next;
      ++i;
    } else if (next == 'n') {
      run += "\r\n";
      ++i;
    } else if (next == 'x') {
      const int high = i + 2 < body.size() ? HexDigit(body[i + 2]) : -1;
      const int low = i + 3 < body.size() ? HexDigit(body[i + 3]) : -1;
      if (high < 0 || low < 0) throw ESourceError(col, "\\x needs two hexadecimal digits");
      flush(col + 4);
      out += static_cast<char>(high << 4 | low);
      i += 3;
    } else {
      run += body[i];
    }
  }
  flush(0);
  return out;
}

std::string QuoteText(std::string_view cp932) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out = "\"";
  auto escapeByte = [&](uint8_t b) {
    out += "\\x";
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  };
  for (size_t i = 0; i < cp932.size();) {
    const auto b = static_cast<uint8_t>(cp932[i]);
    if (b == '\r' && i + 1 < cp932.size() && cp932[i + 1] == '\n') {
      out += "\\n";
      i += 2;
    } else if (b == '"' || b == '\\') {
      out += '\\';
      out += static_cast<char>(b);
      ++i;
    } else if (b < 0x20 || b == 0x7F) {
      escapeByte(b);
      ++i;
    } else if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
    } else {
      const size_t n = IsLeadByte(b) && i + 1 < cp932.size() ? 2 : 1;
      const std::string_view c = cp932.substr(i, n);
      const auto utf8 = Cp932ToUtf8Strict(c);
      if (utf8 && Utf8ToCp932Strict(*utf8) == c) {
        out += *utf8;
      } else {
        for (char byte : c) escapeByte(static_cast<uint8_t>(byte));
      }
      i += n;
    }
  }
  return out + "\"";
}

std::vector<uint8_t> DecodeHex(std::string_view hex, int32_t column) {
  if (hex.size() % 2 != 0) throw ESourceError(column, "hexadecimal bytes come in pairs of digits");
  std::vector<uint8_t> bytes;
  bytes.reserve(hex.size() / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0)
      throw ESourceError(column + static_cast<int32_t>(i + (high < 0 ? 0 : 1)), "not a hexadecimal digit");
    bytes.push_back(static_cast<uint8_t>(high << 4 | low));
  }
  return bytes;
}

std::string HexText(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

std::vector<uint8_t> RecordBytes(const TKestParser& e) {
  TByteStream stream;
  e.SaveToStream(stream);
  return stream.TakeBytes();
}

bool IsEmptyExpression(const TKestParser& e) { return e.Operations().empty(); }

std::string ExpressionSource(const TKestParser& e) {
  if (IsEmptyExpression(e)) return {};
  if (const auto text = DecompiledText(e); text && ReadsBack(e, [&] { return CompileExpression(*text, 1); }))
    return *text;
  return RawSource(e);
}

std::string ValueSource(const TKestParser& e) {
  if (IsEmptyExpression(e)) return "()";
  if (const auto text = DecompiledText(e)) {
    auto isToken = [](const std::string& candidate) {
      try {
        return ScanValue(candidate, 0, {}, 1) == candidate.size();
      } catch (const ESourceError&) {
        return false;
      }
    };
    if (!text->starts_with("(") && isToken(*text) && ReadsBack(e, [&] { return CompileValue(*text, 1); })) return *text;
    const std::string wrapped = "(" + *text + ")";
    if (isToken(wrapped) && ReadsBack(e, [&] { return CompileValue(wrapped, 1); })) return wrapped;
  }
  return RawSource(e);
}

std::string ListSource(const std::vector<TKestParser>& list) {
  std::string out = "(";
  for (size_t i = 0; i < list.size(); ++i) out += (i ? ", " : "") + ElementSource(list[i]);
  return out + ")";
}

}  // namespace kest::kestc
