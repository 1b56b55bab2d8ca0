#pragma once
// The switches a drawing call takes besides its geometry and strength, as one
// value, so that a call says which it sets:
//   dest.Draw(x, y, source, srcRect, TBlit::Transparent | TBlit::MirrorH);
// Every call that takes any of them takes this type, and reads only the bits
// that mean something to it; the others are ignored rather than refused, so a
// picture's flags can go to whichever call ends up drawing it. Transparent is
// ignored where the call settles the key some other way: through a mask (the
// mask says what shows), in DrawAdd and DrawIndexed4 (which always skip the
// source's key), in the 8-bit indexed blits (firstIndex), patterns, glyph ink
// and FillMask. The mirror bits are ignored by the unzoomed tiles, which are
// always drawn upright.

#include <cstdint>

namespace kest {

enum class TBlit : uint8_t {
  None = 0,
  Transparent = 1,  // source pixels equal to the source's TransparentPixel are skipped
  MirrorH = 2,      // the source rectangle is read right to left
  MirrorV = 4,      // the source rectangle is read bottom to top
};

constexpr TBlit operator|(TBlit a, TBlit b) { return TBlit(uint8_t(a) | uint8_t(b)); }
constexpr TBlit operator&(TBlit a, TBlit b) { return TBlit(uint8_t(a) & uint8_t(b)); }

// Whether flags holds any bit of bits.
constexpr bool Has(TBlit flags, TBlit bits) { return (flags & bits) != TBlit::None; }

// bit when on is set, else None: for switches held as separate booleans.
constexpr TBlit BlitIf(bool on, TBlit bit) { return on ? bit : TBlit::None; }

}  // namespace kest
