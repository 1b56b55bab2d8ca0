#pragma once
// Shift-JIS (code page 932) basics: the lead-byte test every character walk
// uses, the one rule by which names fold, and the bridge to UTF-8 that only the
// platform edge needs.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kest {

namespace sjis_detail {

constexpr std::array<bool, 256> MakeLeadTable() {
  std::array<bool, 256> t{};
  for (int b = 0x81; b <= 0x9F; ++b) t[b] = true;
  for (int b = 0xE0; b <= 0xFC; ++b) t[b] = true;
  return t;
}

constexpr std::array<uint8_t, 256> MakeFoldTable(bool upper) {
  std::array<uint8_t, 256> t{};
  for (int b = 0; b < 256; ++b) t[b] = static_cast<uint8_t>(b);
  const int from = upper ? 'a' : 'A';
  for (int i = 0; i < 26; ++i) t[from + i] = static_cast<uint8_t>(from + i + (upper ? -32 : 32));
  return t;
}

inline constexpr std::array<bool, 256> kLead = MakeLeadTable();
inline constexpr std::array<uint8_t, 256> kLower = MakeFoldTable(false);
inline constexpr std::array<uint8_t, 256> kUpper = MakeFoldTable(true);

}  // namespace sjis_detail

// A byte that begins a double-byte character: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(uint8_t b) { return sjis_detail::kLead[b]; }

// The folded form of one byte that stands as a single-byte character.
constexpr uint8_t FoldByte(uint8_t b) { return sjis_detail::kLower[b]; }

// Names fold single-byte ASCII letters only: the second byte of a double-byte
// character is never touched (ヂ 83 61 stays apart from ア 83 41), and full-width
// letters keep their case.
std::string FoldName(std::string_view name);
std::string UpperName(std::string_view name);
bool SameName(std::string_view a, std::string_view b);

// A 32-bit hash of the folded name, so names that are the SameName hash alike.
uint32_t NameHash(std::string_view name);

// CP932 <-> UTF-8. The lenient forms are for showing text (U+FFFD, or '?', for
// what does not map); the strict forms answer nothing when any character does
// not map, which is what file-name lookups need.
std::string Cp932ToUtf8(std::string_view cp932);
std::optional<std::string> Cp932ToUtf8Strict(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);
std::optional<std::string> Utf8ToCp932Strict(std::string_view utf8);

// The character of a code (a byte value below 0x100, else lead * 256 + trail);
// U+FFFD when the code has none.
char32_t Cp932CodeToUnicode(uint16_t code);

// The code of a character, or nothing when CP932 cannot hold it.
std::optional<uint16_t> UnicodeToCp932Code(char32_t c);

}  // namespace kest
