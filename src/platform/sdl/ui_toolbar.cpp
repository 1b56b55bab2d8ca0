#include "platform/sdl/ui_toolbar.h"

namespace kest {
namespace {

constexpr uint32_t kFace = 0xF0F0F0;
constexpr uint32_t kHighlight = 0xFFFFFF;
constexpr uint32_t kShadow = 0xA0A0A0;
constexpr uint32_t kText = 0x000000;
constexpr uint32_t kDockLine = 0xA0A0A0;

constexpr const char* kCaptions[TUiToolbar::kButtonCount] = {"終了", "画面切替"};

// A classic two-colour bevel: light on top and left for a raised button,
// the other way round for a sunken one.
void Bevel(TUiCanvas& canvas, const TUiRect& r, bool sunken) {
  uint32_t top_left = sunken ? kShadow : kHighlight;
  uint32_t bottom_right = sunken ? kHighlight : kShadow;
  canvas.HLine(r.x, r.y, r.w, top_left);
  canvas.VLine(r.x, r.y, r.h, top_left);
  canvas.HLine(r.x, r.y + r.h - 1, r.w, bottom_right);
  canvas.VLine(r.x + r.w - 1, r.y, r.h, bottom_right);
}

}  // namespace

TUiToolbar::TUiToolbar(std::shared_ptr<TUiFont> font) : FFont(std::move(font)) {}

TUiRect TUiToolbar::ButtonRect(int index) {
  if (index < 0 || index >= kButtonCount) return {};
  return {index * kButtonWidth, 0, kButtonWidth, kButtonHeight};
}

const char* TUiToolbar::Caption(int index) { return index >= 0 && index < kButtonCount ? kCaptions[index] : ""; }

int TUiToolbar::HitTest(int x, int y) const {
  for (int i = 0; i < kButtonCount; ++i) {
    if (ButtonRect(i).Contains(x, y)) return i;
  }
  return -1;
}

void TUiToolbar::SetHot(int index) {
  if (FHot == index) return;
  FHot = index;
  FDirty = true;
}

void TUiToolbar::OnMouseMove(int x, int y) { SetHot(HitTest(x, y)); }

void TUiToolbar::OnMouseDown(int x, int y) {
  SetHot(HitTest(x, y));
  if (FPressed != FHot) FDirty = true;
  FPressed = FHot;
}

int TUiToolbar::OnMouseUp(int x, int y) {
  SetHot(HitTest(x, y));
  int clicked = FPressed >= 0 && FPressed == FHot ? FPressed : -1;
  if (FPressed >= 0) FDirty = true;
  FPressed = -1;
  return clicked;
}

void TUiToolbar::OnMouseLeave() { SetHot(-1); }

void TUiToolbar::PaintButton(TUiCanvas& canvas, int index) {
  TUiRect r = ButtonRect(index);
  bool sunken = FPressed == index && FHot == index;
  // A flat button shows its frame only under the pointer or while held.
  if (FHot == index || FPressed == index) Bevel(canvas, r, sunken);
  if (!FFont) return;
  const char* caption = kCaptions[index];
  int shift = sunken ? 1 : 0;
  int x = r.x + (r.w - FFont->Measure(caption)) / 2 + shift;
  int y = r.y + (r.h - FFont->Height()) / 2 + shift;
  FFont->Draw(canvas, x, y, caption, kText);
}

void TUiToolbar::Paint(TUiCanvas& canvas) {
  canvas.FillRect(0, 0, canvas.width, kDockHeight - 1, kFace);
  canvas.HLine(0, kDockHeight - 1, canvas.width, kDockLine);
  for (int i = 0; i < kButtonCount; ++i) {
    TUiCanvas button = canvas;
    button.IntersectClip(ButtonRect(i));
    PaintButton(button, i);
  }
  FDirty = false;
}

}  // namespace kest
