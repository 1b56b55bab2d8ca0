#pragma once
// String operations by characters rather than bytes, for Shift-JIS text where a
// character is a lead byte with the byte after it (whatever that is) or any
// other single byte; a lead byte at the very end stands alone. Positions count
// from 1. Every operation walks from the first byte, so malformed text behaves
// the same everywhere.

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "common/sjis.h"

namespace kest {

// One character of a text: where it begins (0-based), its bytes, and its code
// (the byte value, or lead * 256 + second byte; a missing second byte is 0).
struct TJChar {
  size_t Offset;
  std::string_view Bytes;
  uint16_t Code;
};

class TJCharIterator {
 public:
  using value_type = TJChar;
  using difference_type = std::ptrdiff_t;

  TJCharIterator() = default;
  explicit TJCharIterator(std::string_view text) : FText(text) {}

  TJChar operator*() const {
    const uint8_t b = static_cast<uint8_t>(FText[FOffset]);
    if (!IsLeadByte(b)) return {FOffset, FText.substr(FOffset, 1), b};
    const bool whole = FOffset + 1 < FText.size();
    const uint8_t second = whole ? static_cast<uint8_t>(FText[FOffset + 1]) : 0;
    return {FOffset, FText.substr(FOffset, whole ? 2 : 1), static_cast<uint16_t>(b << 8 | second)};
  }
  TJCharIterator& operator++() {
    FOffset += IsLeadByte(static_cast<uint8_t>(FText[FOffset])) ? 2 : 1;
    return *this;
  }
  TJCharIterator operator++(int) {
    TJCharIterator before = *this;
    ++*this;
    return before;
  }
  bool operator==(std::default_sentinel_t) const { return FOffset >= FText.size(); }

 private:
  std::string_view FText;
  size_t FOffset = 0;
};

// for (TJChar c : JChars(text)) ...
class JChars {
 public:
  explicit JChars(std::string_view text) : FText(text) {}
  explicit JChars(const char* text) : FText(text) {}
  explicit JChars(const std::string& text) : FText(text) {}
  // A temporary string would be gone before the loop body runs.
  explicit JChars(std::string&&) = delete;
  TJCharIterator begin() const { return TJCharIterator(FText); }
  std::default_sentinel_t end() const { return {}; }

 private:
  std::string_view FText;
};

// Byte position where character n begins; behind the text for an n beyond the
// last character; 1 for any n of 1 or less.
int32_t CharToByteIndex(std::string_view text, int32_t n);
// Whether byte i (1..length, else EKestError "Illegal Index") is the second
// byte of a double-byte character.
bool IsTrailByte(std::string_view text, int32_t i);
int32_t JLength(std::string_view text);
std::string JCopy(std::string_view text, int32_t start, int32_t count);
void JDelete(std::string& text, int32_t start, int32_t count);
void JInsert(std::string_view piece, std::string& text, int32_t position);
// Character position of the first occurrence of piece, or 0; a match never
// begins inside a double-byte character.
int32_t JPos(std::string_view piece, std::string_view text);
// Code of character n, or 0 behind the text.
int32_t JCharAt(std::string_view text, int32_t n);
// The spaces are 0x20 and the full-width 0x81 0x40; nothing else is trimmed.
void JTrimLeft(std::string& text);
void JTrimRight(std::string& text);
std::string JTrim(std::string_view text);
// Moves the text before the first byte of separators into head and drops it
// and the separator from text; without a separator the whole text moves.
void SplitAtFirstOf(std::string& text, std::string_view separators, std::string& head);

}  // namespace kest
