#include "platform/ui_canvas.h"

#include <algorithm>
#include <cstddef>

namespace kest {
namespace {

int ClampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// dst + (src − dst) · a / 255 per byte, rounded; the four channels at once.
inline uint32_t Mix(uint32_t dst, uint32_t src, uint32_t a) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    int d = static_cast<int>((dst >> shift) & 0xFF);
    int s = static_cast<int>((src >> shift) & 0xFF);
    int t = (s - d) * static_cast<int>(a) + 128;
    int v = d + ((t + (t >> 8)) >> 8);
    out |= static_cast<uint32_t>(v) << shift;
  }
  return out;
}

}  // namespace

TUiRect Intersect(const TUiRect& a, const TUiRect& b) {
  int64_t x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
  int64_t x1 =
      std::min<int64_t>(static_cast<int64_t>(a.x) + std::max(a.w, 0), static_cast<int64_t>(b.x) + std::max(b.w, 0));
  int64_t y1 =
      std::min<int64_t>(static_cast<int64_t>(a.y) + std::max(a.h, 0), static_cast<int64_t>(b.y) + std::max(b.h, 0));
  if (x0 >= x1 || y0 >= y1) return {};
  return {static_cast<int>(x0), static_cast<int>(y0), ClampToInt(x1 - x0), ClampToInt(y1 - y0)};
}

void TUiCanvas::SetClip(const TUiRect& r) {
  clip_left = r.x;
  clip_top = r.y;
  clip_right = ClampToInt(static_cast<int64_t>(r.x) + std::max(r.w, 0));
  clip_bottom = ClampToInt(static_cast<int64_t>(r.y) + std::max(r.h, 0));
}

void TUiCanvas::IntersectClip(const TUiRect& r) {
  TUiCanvas narrowed;
  narrowed.SetClip(r);
  clip_left = std::max(clip_left, narrowed.clip_left);
  clip_top = std::max(clip_top, narrowed.clip_top);
  clip_right = std::min(clip_right, narrowed.clip_right);
  clip_bottom = std::min(clip_bottom, narrowed.clip_bottom);
}

void TUiCanvas::ClearClip() {
  clip_left = clip_top = 0;
  clip_right = clip_bottom = INT_MAX;
}

bool TUiCanvas::Usable() const { return pixels && width > 0 && height > 0 && pitch_pixels >= width; }

TUiCanvas::TSpan TUiCanvas::Clip(int x, int y, int w, int h) const {
  TSpan s{0, 0, 0, 0};
  if (!Usable() || w <= 0 || h <= 0) return s;
  int64_t x0 = std::max<int64_t>({x, 0, clip_left});
  int64_t y0 = std::max<int64_t>({y, 0, clip_top});
  int64_t x1 = std::min<int64_t>({static_cast<int64_t>(x) + w, width, clip_right});
  int64_t y1 = std::min<int64_t>({static_cast<int64_t>(y) + h, height, clip_bottom});
  if (x0 >= x1 || y0 >= y1) return s;
  return TSpan{static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1)};
}

void TUiCanvas::FillRect(int x, int y, int w, int h, uint32_t color) {
  TSpan s = Clip(x, y, w, h);
  if (s.Empty()) return;
  for (int row = s.y0; row < s.y1; ++row) {
    uint32_t* p = pixels + static_cast<ptrdiff_t>(row) * pitch_pixels;
    std::fill(p + s.x0, p + s.x1, color);
  }
}

void TUiCanvas::FrameRect(int x, int y, int w, int h, uint32_t color) {
  if (w <= 0 || h <= 0) return;
  int right = ClampToInt(static_cast<int64_t>(x) + w - 1);
  int bottom = ClampToInt(static_cast<int64_t>(y) + h - 1);
  HLine(x, y, w, color);
  if (h > 1) HLine(x, bottom, w, color);
  if (h > 2) {
    int inner_top = ClampToInt(static_cast<int64_t>(y) + 1);
    VLine(x, inner_top, h - 2, color);
    if (w > 1) VLine(right, inner_top, h - 2, color);
  }
}

void TUiCanvas::BlendRect(int x, int y, int w, int h, uint32_t color, uint8_t alpha) {
  TSpan s = Clip(x, y, w, h);
  if (s.Empty() || alpha == 0) return;
  for (int row = s.y0; row < s.y1; ++row) {
    uint32_t* p = pixels + static_cast<ptrdiff_t>(row) * pitch_pixels;
    for (int col = s.x0; col < s.x1; ++col) p[col] = Mix(p[col], color, alpha);
  }
}

void TUiCanvas::BlendCoverage(int x, int y, const uint8_t* coverage, int w, int h, int pitch, uint32_t color) {
  if (!coverage || pitch < w) return;
  TSpan s = Clip(x, y, w, h);
  if (s.Empty()) return;
  for (int row = s.y0; row < s.y1; ++row) {
    uint32_t* p = pixels + static_cast<ptrdiff_t>(row) * pitch_pixels;
    const uint8_t* c = coverage + (static_cast<ptrdiff_t>(row) - y) * pitch + (static_cast<ptrdiff_t>(s.x0) - x);
    for (int col = s.x0; col < s.x1; ++col) {
      uint32_t a = *c++;
      if (a == 255) {
        p[col] = color;
      } else if (a != 0) {
        p[col] = Mix(p[col], color, a);
      }
    }
  }
}

uint32_t TUiCanvas::At(int x, int y) const {
  if (!Usable() || x < 0 || y < 0 || x >= width || y >= height) return 0;
  return pixels[static_cast<ptrdiff_t>(y) * pitch_pixels + x];
}

TUiBitmap::TUiBitmap(int width, int height, uint32_t fill)
    : FWidth(std::clamp(width, 0, kMaxSide)),
      FHeight(std::clamp(height, 0, kMaxSide)),
      FPixels(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight), fill) {}

TUiCanvas TUiBitmap::Canvas() {
  TUiCanvas c;
  c.pixels = FPixels.empty() ? nullptr : FPixels.data();
  c.width = FWidth;
  c.height = FHeight;
  c.pitch_pixels = FWidth;
  return c;
}

uint32_t TUiBitmap::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return 0;
  return FPixels[static_cast<size_t>(y) * static_cast<size_t>(FWidth) + static_cast<size_t>(x)];
}

}  // namespace kest
