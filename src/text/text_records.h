#pragma once
// What a message window stores of its text engine: the engine's layout and
// drawing settings, and for each page how far its reveal had come.

#include <cstddef>
#include <cstdint>
#include <span>

namespace kest {

class TStream;
class TTpWord;
class TWdPage;

// The default shadow colour came with version 110, the default outline width
// and shadow offset with 111.
inline constexpr int32_t kSaveSinceEngineShadowColour = 110;
inline constexpr int32_t kSaveSinceEngineOutline = 111;
// Sizes and extents the settings record may hold; anything beyond is damage.
inline constexpr int32_t kMaxEngineExtent = 0x7FFF;

// Always writes the newest layout.
void SaveEngineSettings(TStream& stream, const TTpWord& word);
// Fields the version lacks keep the engine's values. A record that is cut
// short or holds an impossible size raises EReadError and leaves the engine
// as it was.
void LoadEngineSettings(TStream& stream, TTpWord& word, int32_t version);

// The reveal state of a laid-out page, then one alpha for every glyph that
// shows something: each character and image (a character a variable inserted
// included) writes its own, each variable glyph that of the first character
// it produced (0 when none); indent spaces and other control glyphs write
// nothing. The record holds no count, so it only fits the same layout.
void SavePageReveal(TStream& stream, const TWdPage& page);
// Reads no further than bytes (the page's stored blob) and never fails: a
// page laid out differently, or a blob cut short, gives a page that is
// revealed up to the stored position (clamped into the page) and hidden
// after it, and goes on revealing from there. The answer is the number of
// bytes read, where the next page's record begins.
size_t LoadPageReveal(std::span<const uint8_t> bytes, TTpWord& word, TWdPage& page);

}  // namespace kest
