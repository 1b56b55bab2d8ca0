#include "language/text_match.h"

#include "common/sjis.h"

namespace kest {
namespace {

size_t Step(std::string_view text, size_t pos) { return IsLeadByte(static_cast<uint8_t>(text[pos])) ? 2 : 1; }

// A piece that ends in a lone lead byte would take the first byte of the
// character behind it; such a match splits a character and does not count.
bool EndsOnBoundary(std::string_view text, size_t at, size_t length) {
  size_t pos = at;
  while (pos < at + length) pos += Step(text, pos);
  return pos == at + length;
}

bool MatchesAt(std::string_view text, std::string_view piece, size_t at, bool ignoreCase) {
  const std::string_view candidate = text.substr(at, piece.size());
  const bool same = ignoreCase ? SameName(candidate, piece) : candidate == piece;
  return same && EndsOnBoundary(text, at, piece.size());
}

}  // namespace

size_t FindText(std::string_view text, std::string_view piece, size_t from, bool ignoreCase) {
  if (piece.empty()) return std::string_view::npos;
  for (size_t pos = from; pos + piece.size() <= text.size(); pos += Step(text, pos)) {
    if (MatchesAt(text, piece, pos, ignoreCase)) return pos;
  }
  return std::string_view::npos;
}

size_t CharLengthAt(std::string_view text, size_t pos) { return pos + 1 < text.size() ? Step(text, pos) : 1; }

bool IsCharOfSet(std::string_view set, std::string_view text, size_t pos) {
  const std::string_view ch = text.substr(pos, CharLengthAt(text, pos));
  for (size_t i = 0; i < set.size(); i += CharLengthAt(set, i))
    if (set.substr(i, CharLengthAt(set, i)) == ch) return true;
  return false;
}

int32_t CompareFolded(std::string_view a, std::string_view b) {
  const int c = FoldName(a).compare(FoldName(b));
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace kest
