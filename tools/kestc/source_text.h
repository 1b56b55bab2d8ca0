#pragma once
// Reading a source file: its lines, the levels their indentation gives, and a
// cursor over one line that counts columns in characters (the text is UTF-8,
// so a Japanese character is one column however many bytes it takes).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kest::kestc {

struct TSourceLine {
  int32_t Number = 0;       // 1 for the first line
  std::string_view Blanks;  // the indentation: spaces or tabs
  std::string_view Text;    // the rest, without trailing blanks
};

// Lines end in LF, CR LF or CR; a byte-order mark in front is dropped.
std::vector<TSourceLine> SplitLines(std::string_view text);

// The number of characters in UTF-8 text (every byte that does not continue
// a sequence starts one).
int32_t CharCount(std::string_view utf8);

// Turns indentation into block levels. A file indents with tabs (one level
// each) or with spaces, in steps of the width of its first indented line.
class TIndentReader {
 public:
  // Raises ESourceError for a mixture of tabs and spaces or a width that is
  // not a whole number of steps.
  int32_t Level(const TSourceLine& line);

 private:
  int32_t FStep = 0;
  bool FTabs = false;
};

// A blank is a space or a tab.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Keywords, command, field and property names ignore ASCII letter case.
std::string LowerAscii(std::string_view s);
bool SameLetters(std::string_view a, std::string_view b);
// A decimal whole number with an optional sign, within the range given.
// Raises ESourceError at column otherwise.
int64_t ParseWhole(std::string_view text, int64_t low, int64_t high, int32_t column);

// Where a value written in a line ends: at a blank (or one of stops) outside
// "strings", (parentheses) and [brackets]. Inside a string a backslash keeps
// the quote or backslash after it, as the expression builder reads strings.
// Raises ESourceError at the opening character when one is never closed.
size_t ScanValue(std::string_view text, size_t from, std::string_view stops, int32_t column);

// A read position in one line's text.
class TCursor {
 public:
  // column: the column of text's first character.
  TCursor(std::string_view text, int32_t column) : FText(text), FColumn(column) {}

  void SkipBlanks();
  // After skipping blanks: nothing is left.
  bool AtEnd();
  char Peek() const { return FPos < FText.size() ? FText[FPos] : '\0'; }
  void Advance(size_t n = 1) { FPos += n; }
  size_t Pos() const { return FPos; }
  void SetPos(size_t pos) { FPos = pos; }
  std::string_view Text() const { return FText; }
  int32_t Column() const { return ColumnAt(FPos); }
  int32_t ColumnAt(size_t pos) const;

  // The word at the position matches, ignoring ASCII case, and ends there
  // (a blank or the end follows); it is then taken.
  bool TakeKeyword(std::string_view word);
  // Characters up to a blank or one of stops.
  std::string_view TakeWord(std::string_view stops = {});
  // One value (see ScanValue).
  std::string_view TakeValue(std::string_view stops = {});
  // Everything left, blanks around it removed.
  std::string_view TakeRest();

 private:
  std::string_view FText;
  int32_t FColumn;
  size_t FPos = 0;
};

}  // namespace kest::kestc
