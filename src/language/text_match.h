#pragma once
// Searching and comparing Shift-JIS text for the string and array functions.
// Letters fold only where they stand as single-byte characters, and a match
// must begin and end on character boundaries, so the second byte of a
// double-byte character (ア is 83 41) is never read as a letter of its own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kest {

// The byte offset of the first match of piece at or behind from (a character
// boundary), or npos; an empty piece matches nowhere.
size_t FindText(std::string_view text, std::string_view piece, size_t from, bool ignoreCase);

// -1, 0 or 1: the order of the texts with single-byte letters folded.
int32_t CompareFolded(std::string_view a, std::string_view b);

}  // namespace kest
