#pragma once
// How the layers of a Pexa frame are merged into its composite. Each bit
// count has its own arithmetic, which stored pictures depend on: opacity
// divides by 255 up to 24 bits but shifts by 8 at 32 bits.

#include <cstdint>

#include "imaging/dibx.h"

namespace kest {

// Both pictures have one size and format.
void PexaCopy(TDIBX& composite, const TDIBX& layer);
// Layer pixels equal to key (when >= 0) are skipped; 0 opacity draws nothing;
// palette pictures dither below 240.
void PexaMergeOpacity(TDIBX& composite, const TDIBX& layer, int32_t opacity, int64_t key);
// By the layer's 8-bit alpha: 0 skips, 255 copies, else blends (>> 8); palette
// pictures copy from 128 up.
void PexaMergeAlpha(TDIBX& composite, const TDIBX& layer, const TDIBX& alpha);

}  // namespace kest
