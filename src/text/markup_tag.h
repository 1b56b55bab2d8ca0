#pragma once
// One parsed tag: its name and attributes, and the readers that turn
// attribute values into numbers, colours and alignments with the tag's
// defaults.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kest {

struct TTagAttribute {
  std::string Name;
  std::optional<std::string> Value;  // none when the name stands alone
};

struct TTag {
  std::string Name;  // without brackets, as written
  std::vector<TTagAttribute> Attributes;

  bool Is(std::string_view name) const;  // without regard to case
  // The first attribute of that name (without regard to case).
  const TTagAttribute* Find(std::string_view name) const;
  std::string Str(std::string_view name, std::string_view fallback = {}) const;
  // A decimal value; fallback when absent or not a number.
  int32_t Int(std::string_view name, int32_t fallback) const;
  // "#RRGGBB" as 0x00BBGGRR; fallback otherwise.
  int32_t Colour(std::string_view name, int32_t fallback) const;
  // The index of one of the allowed alignment names; fallback otherwise.
  uint8_t Align(std::string_view name, std::initializer_list<uint8_t> allowed, uint8_t fallback) const;
};

// A tag token is longer than one byte, begins with "<" and ends with ">",
// and is no comment, SCRIPT or STYLE block.
bool IsTagToken(std::string_view token);
// The tag of a tag token.
TTag ParseTag(std::string_view token);
// \" → ", \\ → \, \n → CR LF (HREF and EVENT values).
std::string ResolveEscapes(std::string_view value);
// A whole decimal number, or nothing.
std::optional<int32_t> ParseDecimal(std::string_view text);

}  // namespace kest
