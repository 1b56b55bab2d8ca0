#pragma once
// Markup for stored glyphs: the text that, parsed at the same @TextDelay,
// gives the engine's glyphs and decorations back (kestc --dump).

#include <optional>
#include <string>

namespace kest {

class TTpWord;

// One line of CP932 markup; nothing when the glyphs hold something that no
// markup gives (the caller also checks by parsing it again).
std::optional<std::string> WriteMarkup(const TTpWord& word);

}  // namespace kest
