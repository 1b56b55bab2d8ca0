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

TUiToolbar::TUiToolbar(std::shared_ptr<TUiFont> font) : font_(std::move(font)) {}

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
  if (hot_ == index) return;
  hot_ = index;
  dirty_ = true;
}

void TUiToolbar::OnMouseMove(int x, int y) { SetHot(HitTest(x, y)); }

void TUiToolbar::OnMouseDown(int x, int y) {
  SetHot(HitTest(x, y));
  if (pressed_ != hot_) dirty_ = true;
  pressed_ = hot_;
}

int TUiToolbar::OnMouseUp(int x, int y) {
  SetHot(HitTest(x, y));
  int clicked = pressed_ >= 0 && pressed_ == hot_ ? pressed_ : -1;
  if (pressed_ >= 0) dirty_ = true;
  pressed_ = -1;
  return clicked;
}

void TUiToolbar::OnMouseLeave() { SetHot(-1); }

void TUiToolbar::PaintButton(TUiCanvas& canvas, int index) {
  TUiRect r = ButtonRect(index);
  bool sunken = pressed_ == index && hot_ == index;
  // A flat button shows its frame only under the pointer or while held.
  if (hot_ == index || pressed_ == index) Bevel(canvas, r, sunken);
  if (!font_) return;
  const char* caption = kCaptions[index];
  int shift = sunken ? 1 : 0;
  int x = r.x + (r.w - font_->Measure(caption)) / 2 + shift;
  int y = r.y + (r.h - font_->Height()) / 2 + shift;
  font_->Draw(canvas, x, y, caption, kText);
}

void TUiToolbar::Paint(TUiCanvas& canvas) {
  canvas.FillRect(0, 0, canvas.width, kDockHeight - 1, kFace);
  canvas.HLine(0, kDockHeight - 1, canvas.width, kDockLine);
  for (int i = 0; i < kButtonCount; ++i) {
    TUiCanvas button = canvas;
    button.IntersectClip(ButtonRect(i));
    PaintButton(button, i);
  }
  dirty_ = false;
}

}  // namespace kest
