#pragma once
// Half-width <-> full-width conversion of Shift-JIS text. Each converter passes
// the characters of the width it produces through unchanged and drops those of
// the width it converts from when they have no counterpart.

#include <string>
#include <string_view>

namespace kest {

// Signs, digits, letters and half-width katakana become full-width; a katakana
// followed by its sound mark becomes the voiced or semi-voiced letter, except
// ｳﾞ, which stays two characters. Control bytes and other single bytes go.
std::string HanToZen(std::string_view text);
// The full-width forms of the HanToZen tables become half-width again (voiced
// letters with their sound mark); every other double-byte character goes.
std::string ZenToHan(std::string_view text);

}  // namespace kest
