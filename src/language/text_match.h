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

// Whether the character of text at pos is one of the characters of set. Both
// are read by whole characters, so a double-byte character in the set is one
// character and its second byte (、 is 81 41) never stands for a letter.
bool IsCharOfSet(std::string_view set, std::string_view text, size_t pos);

// The byte length of the character at pos: two behind a lead byte, one for a
// lead byte that ends the text.
size_t CharLengthAt(std::string_view text, size_t pos);

// -1, 0 or 1: the order of the texts with single-byte letters folded.
int32_t CompareFolded(std::string_view a, std::string_view b);

}  // namespace kest
