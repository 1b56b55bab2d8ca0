#include "imaging/wipes/wipe_blur.h"

#include <algorithm>
#include <vector>

namespace kest {

namespace {

uint32_t Grey(const TCustomDIBX& surface, int32_t level) {
  return static_cast<uint32_t>(surface.ColorToPixel(level | (level << 8) | (level << 16)));
}

// One pass over colours (0x00BBGGRR) along lines of `count` values `step` apart.
void BlurLine(std::vector<uint32_t>& c, size_t start, size_t step, int32_t count, int32_t radius,
              std::vector<uint32_t>& line) {
  line.assign(c.begin(), c.begin());
  line.resize(size_t(count));
  for (int32_t i = 0; i < count; ++i) line[size_t(i)] = c[start + size_t(i) * step];
  int64_t sum[3] = {0, 0, 0};
  int32_t lo = 0, hi = -1;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t want_lo = std::max(0, i - radius), want_hi = std::min(count - 1, i + radius);
    while (hi < want_hi) {
      ++hi;
      for (int k = 0; k < 3; ++k) sum[k] += (line[size_t(hi)] >> (8 * k)) & 0xFF;
    }
    while (lo < want_lo) {
      for (int k = 0; k < 3; ++k) sum[k] -= (line[size_t(lo)] >> (8 * k)) & 0xFF;
      ++lo;
    }
    const int64_t n = hi - lo + 1;
    uint32_t v = 0;
    for (int k = 0; k < 3; ++k) v |= uint32_t(sum[k] / n) << (8 * k);
    c[start + size_t(i) * step] = v;
  }
}

}  // namespace

void BoxBlur(const TCustomDIBX& source, TDIBX& out, int32_t radius) {
  const int32_t w = source.Width(), h = source.Height();
  out.SetSize(w, h, source.BitCount());
  if (w <= 0 || h <= 0) return;
  std::vector<uint32_t> c(size_t(w) * size_t(h));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) c[size_t(y) * size_t(w) + size_t(x)] = source.PixelToColor(source.GetPixel(x, y));
  std::vector<uint32_t> line;
  for (int32_t y = 0; y < h; ++y) BlurLine(c, size_t(y) * size_t(w), 1, w, radius, line);
  for (int32_t x = 0; x < w; ++x) BlurLine(c, size_t(x), size_t(w), h, radius, line);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      out.SetPixel(x, y, static_cast<uint32_t>(out.ColorToPixel(c[size_t(y) * size_t(w) + size_t(x)])));
}

// The screens draw the controls made in the tick the flip begins only in the
// draw phase before the first step: blurring them earlier would blur pictures
// that are not yet shown.
void TWipeBlurWhite::Prepare() {
  FFromBlur.SetSize(0, 0, FFrom.BitCount());
  FToBlur.SetSize(0, 0, FTo.BitCount());
}

void TWipeBlurWhite::Blur() {
  const int32_t radius = std::min(W(), H()) / 20;
  BoxBlur(FFrom, FFromBlur, radius);
  BoxBlur(FTo, FToBlur, radius);
}

void TWipeBlurWhite::Tint(int32_t grey) { FTarget.FillRectAdd(FTarget.Bounds(), Grey(FTarget, grey)); }

void TWipeBlurBlack::Tint(int32_t grey) { FTarget.FillRectSub(FTarget.Bounds(), Grey(FTarget, grey)); }

void TWipeBlurWhite::Draw() {
  if (FFromBlur.Width() != W() || FFromBlur.Height() != H()) Blur();
  const int32_t m = Scaled(639);
  if (m < 256) {
    FTarget.Draw(0, 0, FFrom, FFrom.Bounds(), TBlit::None);
    FTarget.DrawAlpha(0, 0, FFromBlur, FFromBlur.Bounds(), TBlit::None, m);
  } else if (m < 320) {
    FTarget.Draw(0, 0, FFromBlur, FFromBlur.Bounds(), TBlit::None);
    Tint((m - 256) * 4);
  } else if (m < 384) {
    FTarget.Draw(0, 0, FToBlur, FToBlur.Bounds(), TBlit::None);
    Tint((383 - m) * 4);
  } else {
    FTarget.Draw(0, 0, FTo, FTo.Bounds(), TBlit::None);
    FTarget.DrawAlpha(0, 0, FToBlur, FToBlur.Bounds(), TBlit::None, 639 - m);
  }
}

}  // namespace kest
