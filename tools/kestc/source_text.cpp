#include "kestc/source_text.h"

#include <string>
#include <vector>

#include "kestc/diagnostics.h"

namespace kest::kestc {

namespace {

std::string_view TrimBlanksRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && LowerAscii(a) == LowerAscii(b);
}

int64_t ParseWhole(std::string_view text, int64_t low, int64_t high, int32_t column) {
  const std::string range = " from " + std::to_string(low) + " to " + std::to_string(high);
  size_t i = text.starts_with('-') || text.starts_with('+') ? 1 : 0;
  if (i >= text.size()) throw ESourceError(column, "expected a whole number" + range);
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') throw ESourceError(column, "expected a whole number" + range);
    value = value * 10 + (text[i] - '0');
    if (value > high - (low < 0 ? low : 0) + 1) throw ESourceError(column, "the number is out of range:" + range);
  }
  if (text[0] == '-') value = -value;
  if (value < low || value > high) throw ESourceError(column, "the number is out of range:" + range);
  return value;
}

std::vector<TSourceLine> SplitLines(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<TSourceLine> lines;
  int32_t number = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    std::string_view line = text.substr(start, end - start);
    size_t blanks = 0;
    while (blanks < line.size() && IsBlank(line[blanks])) ++blanks;
    lines.push_back({++number, line.substr(0, blanks), TrimBlanksRight(line.substr(blanks))});
    if (end >= text.size()) break;
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    if (start == text.size()) break;
  }
  return lines;
}

int32_t CharCount(std::string_view utf8) {
  int32_t n = 0;
  for (char c : utf8) n += (static_cast<uint8_t>(c) & 0xC0) != 0x80 ? 1 : 0;
  return n;
}

int32_t TIndentReader::Level(const TSourceLine& line) {
  const std::string_view blanks = line.Blanks;
  if (blanks.empty()) return 0;
  const bool tabs = blanks[0] == '\t';
  if (blanks.find(tabs ? ' ' : '\t') != std::string_view::npos)
    throw ESourceError(1, "the indentation mixes tabs and spaces");
  if (FStep == 0) {
    FStep = tabs ? 1 : static_cast<int32_t>(blanks.size());
    FTabs = tabs;
  }
  if (tabs != FTabs)
    throw ESourceError(1, FTabs ? "this file indents with tabs, this line with spaces"
                                : "this file indents with spaces, this line with tabs");
  const auto width = static_cast<int32_t>(blanks.size());
  if (width % FStep != 0)
    throw ESourceError(1, "an indentation of " + std::to_string(width) +
                              " spaces is not a multiple of this file's step of " + std::to_string(FStep));
  return width / FStep;
}

size_t ScanValue(std::string_view text, size_t from, std::string_view stops, int32_t column) {
  std::vector<size_t> open;
  size_t i = from;
  auto columnAt = [&](size_t pos) { return column + CharCount(text.substr(0, pos)); };
  while (i < text.size()) {
    const char c = text[i];
    if (open.empty() && (IsBlank(c) || stops.find(c) != std::string_view::npos)) break;
    if (c == '"') {
      const size_t quote = i++;
      while (i < text.size() && text[i] != '"') i += text[i] == '\\' && i + 1 < text.size() ? 2 : 1;
      if (i >= text.size()) throw ESourceError(columnAt(quote), "this string has no closing quote");
    } else if (c == '(' || c == '[') {
      open.push_back(i);
    } else if (c == ')' || c == ']') {
      if (open.empty()) throw ESourceError(columnAt(i), std::string("this ") + c + " closes nothing");
      if (text[open.back()] != (c == ')' ? '(' : '['))
        throw ESourceError(columnAt(i), std::string("this ") + c + " does not match the " + text[open.back()] +
                                            " at column " + std::to_string(columnAt(open.back())));
      open.pop_back();
    }
    ++i;
  }
  if (!open.empty())
    throw ESourceError(columnAt(open.back()), std::string("this ") + text[open.back()] + " is never closed");
  return i;
}

void TCursor::SkipBlanks() {
  while (FPos < FText.size() && IsBlank(FText[FPos])) ++FPos;
}

bool TCursor::AtEnd() {
  SkipBlanks();
  return FPos >= FText.size();
}

int32_t TCursor::ColumnAt(size_t pos) const { return FColumn + CharCount(FText.substr(0, pos)); }

bool TCursor::TakeKeyword(std::string_view word) {
  SkipBlanks();
  if (FText.size() - FPos < word.size() || !SameLetters(FText.substr(FPos, word.size()), word)) return false;
  const size_t end = FPos + word.size();
  if (end < FText.size() && !IsBlank(FText[end])) return false;
  FPos = end;
  return true;
}

std::string_view TCursor::TakeWord(std::string_view stops) {
  SkipBlanks();
  const size_t start = FPos;
  while (FPos < FText.size() && !IsBlank(FText[FPos]) && stops.find(FText[FPos]) == std::string_view::npos) ++FPos;
  return FText.substr(start, FPos - start);
}

std::string_view TCursor::TakeValue(std::string_view stops) {
  SkipBlanks();
  const size_t start = FPos;
  FPos = ScanValue(FText, FPos, stops, FColumn);
  return FText.substr(start, FPos - start);
}

std::string_view TCursor::TakeRest() {
  SkipBlanks();
  std::string_view rest = TrimBlanksRight(FText.substr(FPos));
  FPos = FText.size();
  return rest;
}

}  // namespace kest::kestc
