#include <gtest/gtest.h>

#include <set>

#include "common/errors.h"
#include "imaging/dibx.h"
#include "text/font_pixel_manager.h"
#include "text/glyph_layers.h"
#include "text/tp_word.h"

namespace kest {
namespace {

// Fails every grey render, as a rasteriser without grey formats would.
class TMonoOnlyFonts : public TFakeFontBackend {
 public:
  std::optional<TGlyphImage> Glyph(const TFontRequest& font, uint16_t code) override {
    if (!font.Mono) return std::nullopt;
    return TFakeFontBackend::Glyph(font, code);
  }
};

TEST(FontPixelManager, KeepsTheMostRecentlyUsedAndFallsBackForGood) {
  TFakeFontBackend fonts;
  TFontPixelManager cache(fonts);
  const std::string face(kDefaultFontName);
  for (uint16_t code = 0x8240; code < 0x8240 + 256; ++code) cache.Get(code, face, 12, 0, 3);
  cache.Get(0x8240, face, 12, 0, 3);  // now the most recent
  EXPECT_EQ(fonts.GlyphCalls, 256);
  cache.Get(0x9000, face, 12, 0, 3);  // the 257th drops 0x8241
  EXPECT_EQ(cache.Count(), TFontPixelManager::kCapacity);
  cache.Get(0x8240, face, 12, 0, 3);
  EXPECT_EQ(fonts.GlyphCalls, 257);
  cache.Get(0x8241, face, 12, 0, 3);
  EXPECT_EQ(fonts.GlyphCalls, 258);
  EXPECT_EQ(cache.Get(0x8240, "missing face", 12, 0, 3).FontName, face) << "an unknown face falls back";

  TMonoOnlyFonts mono;
  TFontPixelManager fallback(mono);
  const TFontPixel& p = fallback.Get(0x82A0, face, 16, 0, 3);
  EXPECT_TRUE(fallback.MonoOnly());
  EXPECT_EQ(p.Format, 0);
  for (uint8_t c : p.Coverage) EXPECT_TRUE(c == 0 || c == 255);
  EXPECT_THROW(fallback.Get(0x82A0, face, 0, 0, 3), EKestError) << "no metrics at size 0";
}

TEST(FontPixelManager, GreyFormatsKeepTheirLevels) {
  for (int32_t format : {1, 2, 3}) {
    std::set<uint8_t> levels;
    for (int c = 0; c < 256; ++c) levels.insert(QuantiseGrey(uint8_t(c), format));
    EXPECT_EQ(levels.size(), size_t(format == 1 ? 5 : format == 2 ? 17 : 65));
    EXPECT_EQ(QuantiseGrey(0, format), 0);
    EXPECT_EQ(QuantiseGrey(255, format), 255);
  }
}

TEST(GlyphLayers, StampsCombineCoverageAndBlendColour) {
  for (int bits : {32, 16}) {
    TDIBX colour(4, 1, bits), coverage(4, 1, 8);
    TGlyphLayers layers(colour, coverage);
    const uint8_t half[4] = {128, 128, 255, 0};
    layers.Stamp(half, 4, 1, 0, 0, 0x0000FF);
    layers.Stamp(half, 4, 1, 0, 0, 0xFF0000);
    EXPECT_EQ(coverage.GetPixel(0, 0), 128u + 128u * 127u / 255u);
    EXPECT_EQ(coverage.GetPixel(2, 0), 255u);
    EXPECT_EQ(coverage.GetPixel(3, 0), 0u);
    // The second stamp takes 128 × 255 ÷ 191 of the colour.
    const uint32_t c = colour.PixelToColor(colour.GetPixel(0, 0));
    if (bits == 32) {
      EXPECT_EQ(c, 85u | 170u << 16);
    }
    EXPECT_EQ(colour.PixelToColor(colour.GetPixel(2, 0)), colour.PixelToColor(uint32_t(colour.ColorToPixel(0xFF0000))));
  }
  const uint8_t dot[1] = {200};
  const std::vector<uint8_t> ring = OutlineCoverage(dot, 1, 1, 1);
  EXPECT_EQ(ring, std::vector<uint8_t>(9, 200));
  EXPECT_EQ(OutlineCoverage(dot, 1, 1, 5), std::vector<uint8_t>(121, 200)) << "a wide outline";
}

}  // namespace
}  // namespace kest
