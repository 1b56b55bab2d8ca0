// Drawing surface of the player's own window chrome (toolbar, message boxes).
// Pixels are 32-bit values 0xAARRGGBB, that is B, G, R, A in memory, the
// layout of the scene's 32-bit surfaces and of an ARGB8888 texture.
#pragma once

#include <climits>
#include <cstdint>
#include <vector>

namespace kest {

struct TUiRect {
  int x = 0, y = 0, w = 0, h = 0;

  bool Contains(int px, int py) const {
    return px >= x && py >= y && static_cast<int64_t>(px) < static_cast<int64_t>(x) + w &&
           static_cast<int64_t>(py) < static_cast<int64_t>(y) + h;
  }
  bool Empty() const { return w <= 0 || h <= 0; }
};

// The overlap of two rectangles; an empty overlap has zero width and height.
TUiRect Intersect(const TUiRect& a, const TUiRect& b);

// A non-owning view. Every operation is clipped to the view and to the clip
// rectangle, so callers may pass any coordinates and sizes; a view whose
// pixels are null or whose pitch is shorter than its width draws nothing.
struct TUiCanvas {
  uint32_t* pixels = nullptr;
  int width = 0, height = 0, pitch_pixels = 0;
  // Clip rectangle in canvas coordinates as [left, right) × [top, bottom).
  int clip_left = 0, clip_top = 0, clip_right = INT_MAX, clip_bottom = INT_MAX;

  void SetClip(const TUiRect& r);
  // Narrows the clip rectangle to its overlap with r.
  void IntersectClip(const TUiRect& r);
  void ClearClip();

  void FillRect(int x, int y, int w, int h, uint32_t color);
  void HLine(int x, int y, int w, uint32_t color) { FillRect(x, y, w, 1, color); }
  void VLine(int x, int y, int h, uint32_t color) { FillRect(x, y, 1, h, color); }
  void FrameRect(int x, int y, int w, int h, uint32_t color);
  // Mixes color into every pixel of the rectangle with weight alpha / 255.
  void BlendRect(int x, int y, int w, int h, uint32_t color, uint8_t alpha);
  // Mixes color into the pixels under an 8-bit coverage bitmap whose top-left
  // lies at (x, y); pitch is the bitmap's row length in bytes.
  void BlendCoverage(int x, int y, const uint8_t* coverage, int w, int h, int pitch, uint32_t color);

  // 0 outside the canvas.
  uint32_t At(int x, int y) const;

 private:
  // The part of a rectangle that may be written, as [x0, x1) × [y0, y1).
  struct TSpan {
    int x0, y0, x1, y1;
    bool Empty() const { return x0 >= x1 || y0 >= y1; }
  };
  TSpan Clip(int x, int y, int w, int h) const;
  bool Usable() const;
};

// An owning pixel buffer for offscreen drawing and tests. Each side is
// limited to kMaxSide so that no request can allocate without bound.
class TUiBitmap {
 public:
  static constexpr int kMaxSide = 8192;

  TUiBitmap(int width, int height, uint32_t fill = 0);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // A view over the buffer, valid while the bitmap lives and keeps its size.
  TUiCanvas Canvas();
  uint32_t At(int x, int y) const;
  const std::vector<uint32_t>& Pixels() const { return FPixels; }

 private:
  int FWidth;
  int FHeight;
  std::vector<uint32_t> FPixels;
};

}  // namespace kest
