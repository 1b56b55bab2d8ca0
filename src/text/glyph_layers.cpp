#include "text/glyph_layers.h"

#include <algorithm>
#include <array>

namespace kest {

namespace {

// c + k(255 − c)/255: coverage laid over coverage.
inline uint32_t Combine(uint32_t c, uint32_t k) { return c + k * (255 - c) / 255; }

// Up to this width the outline is the square of stamps itself; beyond it the
// (2b + 1)² stamps would take seconds for one large character.
constexpr int32_t kStampedOutline = 4;

// Coverage laid over coverage is 1 − Π(1 − k) in the limit, and a product over
// the square is one over its rows of one over its columns: 2(2b + 1) passes.
std::vector<uint8_t> SpreadOutline(const uint8_t* coverage, int32_t w, int32_t h, int32_t b) {
  const int32_t ow = w + 2 * b, oh = h + 2 * b;
  std::array<float, 256> clear{};
  for (size_t k = 0; k < clear.size(); ++k) clear[k] = 1.0f - float(k) / 255.0f;
  std::vector<float> rows(size_t(ow) * size_t(h), 1.0f);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* k = coverage + size_t(y) * size_t(w);
    float* row = rows.data() + size_t(y) * size_t(ow);
    for (int32_t dx = 0; dx <= 2 * b; ++dx)
      for (int32_t x = 0; x < w; ++x) row[x + dx] *= clear[k[x]];
  }
  std::vector<uint8_t> out(size_t(ow) * size_t(oh));
  std::vector<float> column(static_cast<size_t>(ow));
  for (int32_t y = 0; y < oh; ++y) {
    std::fill(column.begin(), column.end(), 1.0f);
    for (int32_t sy = std::max(0, y - 2 * b); sy <= std::min(h - 1, y); ++sy) {
      const float* row = rows.data() + size_t(sy) * size_t(ow);
      for (int32_t x = 0; x < ow; ++x) column[size_t(x)] *= row[x];
    }
    uint8_t* o = out.data() + size_t(y) * size_t(ow);
    for (int32_t x = 0; x < ow; ++x) o[x] = uint8_t(255.0f * (1.0f - column[size_t(x)]) + 0.5f);
  }
  return out;
}

}  // namespace

void TGlyphLayers::StampRow32(uint32_t* colours, uint8_t* cover, const uint8_t* k, int32_t n, uint32_t pixel) {
  for (int32_t i = 0; i < n; ++i) {
    if (k[i] == 0) continue;
    const uint32_t c = Combine(cover[i], k[i]);
    cover[i] = uint8_t(c);
    const uint32_t w = k[i] * 255u / c;
    const uint32_t old = colours[i];
    uint32_t out = 0;
    for (int s = 0; s < 24; s += 8) out |= ((((old >> s) & 0xFF) * (255 - w) + ((pixel >> s) & 0xFF) * w) / 255) << s;
    colours[i] = out;
  }
}

void TGlyphLayers::StampRowAny(int32_t x, int32_t y, const uint8_t* k, int32_t n, int32_t colour) {
  uint8_t* cover = FCoverage.PixelAddress(x, y);
  for (int32_t i = 0; i < n; ++i) {
    if (k[i] == 0) continue;
    const uint32_t c = Combine(cover[i], k[i]);
    cover[i] = uint8_t(c);
    const uint32_t w = k[i] * 255u / c;
    const uint32_t old = FColour.PixelToColor(FColour.GetPixel(x + i, y));
    uint32_t out = 0;
    for (int s = 0; s < 24; s += 8)
      out |= ((((old >> s) & 0xFF) * (255 - w) + ((uint32_t(colour) >> s) & 0xFF) * w) / 255) << s;
    FColour.SetPixel(x + i, y, uint32_t(FColour.ColorToPixel(out)));
  }
}

void TGlyphLayers::Stamp(const uint8_t* coverage, int32_t w, int32_t h, int32_t x, int32_t y, int32_t colour) {
  const int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int32_t x1 = std::min({x + w, FColour.Width(), FCoverage.Width()});
  const int32_t y1 = std::min({y + h, FColour.Height(), FCoverage.Height()});
  if (x0 >= x1 || y0 >= y1) return;
  const bool fast = FColour.StoredBitCount() == 32;
  const auto pixel = uint32_t(FColour.ColorToPixel(colour));
  for (int32_t row = y0; row < y1; ++row) {
    const uint8_t* k = coverage + size_t(row - y) * size_t(w) + size_t(x0 - x);
    if (fast)
      StampRow32(reinterpret_cast<uint32_t*>(FColour.PixelAddress(x0, row)), FCoverage.PixelAddress(x0, row), k,
                 x1 - x0, pixel);
    else
      StampRowAny(x0, row, k, x1 - x0, colour);
  }
}

void TGlyphLayers::Bar(const TRect& rect, int32_t colour) {
  if (rect.IsEmpty()) return;
  const std::vector<uint8_t> full(size_t(rect.Width()) * size_t(rect.Height()), 255);
  Stamp(full.data(), rect.Width(), rect.Height(), rect.Left, rect.Top, colour);
}

std::vector<uint8_t> OutlineCoverage(const uint8_t* coverage, int32_t w, int32_t h, int32_t b) {
  if (b > kStampedOutline) return SpreadOutline(coverage, w, h, b);
  const int32_t ow = w + 2 * b, oh = h + 2 * b;
  std::vector<uint8_t> out(size_t(ow) * size_t(oh), 0);
  for (int32_t dy = 0; dy <= 2 * b; ++dy)
    for (int32_t dx = 0; dx <= 2 * b; ++dx)
      for (int32_t y = 0; y < h; ++y) {
        uint8_t* o = &out[size_t(y + dy) * size_t(ow) + size_t(dx)];
        const uint8_t* k = coverage + size_t(y) * size_t(w);
        for (int32_t x = 0; x < w; ++x) o[x] = uint8_t(Combine(o[x], k[x]));
      }
  return out;
}

}  // namespace kest
