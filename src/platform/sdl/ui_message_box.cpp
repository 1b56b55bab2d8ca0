#include "platform/sdl/ui_message_box.h"

#include <algorithm>
#include <cmath>

#include "platform/vk_keys.h"

namespace kest {
namespace {

constexpr int kPad = 12;    // inner margin of the box
constexpr int kMargin = 8;  // room kept between box and area edge
constexpr int kMinWidth = 180;
constexpr int kMaxWidth = 600;
constexpr int kIconSize = 32;
constexpr int kShadowOffset = 4;
constexpr int kMinButtonWidth = 75;
constexpr int kButtonPad = 10;
constexpr int kButtonGap = 8;
constexpr int kNoFontHeight = 12;  // metrics used when no font could be opened

constexpr uint32_t kFrame = 0x5A5A5A;
constexpr uint32_t kBody = 0xF0F0F0;
constexpr uint32_t kTitleBar = 0x1F4E9A;
constexpr uint32_t kTitleText = 0xFFFFFF;
constexpr uint32_t kText = 0x000000;
constexpr uint32_t kShadow = 0x000000;
constexpr uint8_t kShadowAlpha = 72;
constexpr uint32_t kButtonFace = 0xE1E1E1;
constexpr uint32_t kButtonBorder = 0xADADAD;
constexpr uint32_t kHotFace = 0xE5F1FB;
constexpr uint32_t kAccent = 0x0078D7;
constexpr uint32_t kPressedFace = 0xCCE4F7;
constexpr uint32_t kPressedBorder = 0x005499;

constexpr uint32_t kIconBlue = 0x2A6FD6;
constexpr uint32_t kIconRed = 0xD8332A;
constexpr uint32_t kIconYellow = 0xF2C200;
constexpr uint32_t kIconWhite = 0xFFFFFF;
constexpr uint32_t kIconBlack = 0x202020;

// Icon shapes are point-in-shape tests in a 32 × 32 box, sampled 4 × 4 per
// pixel for their anti-aliased edges.
struct TPoint {
  double x, y;
};

double SegmentDistance(TPoint p, TPoint a, TPoint b) {
  double vx = b.x - a.x, vy = b.y - a.y;
  double len2 = vx * vx + vy * vy;
  double t = len2 > 0 ? std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(p.x - (a.x + t * vx), p.y - (a.y + t * vy));
}

template <typename TInside>
std::vector<uint8_t> Rasterise(TInside inside) {
  std::vector<uint8_t> out(kIconSize * kIconSize);
  for (int y = 0; y < kIconSize; ++y) {
    for (int x = 0; x < kIconSize; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) hits += inside(TPoint{x + (sx + 0.5) / 4, y + (sy + 0.5) / 4}) ? 1 : 0;
      }
      out[static_cast<size_t>(y * kIconSize + x)] = static_cast<uint8_t>(hits * 255 / 16);
    }
  }
  return out;
}

bool InCircle(TPoint p, TPoint c, double r) { return std::hypot(p.x - c.x, p.y - c.y) <= r; }
bool InStroke(TPoint p, TPoint a, TPoint b, double r) { return SegmentDistance(p, a, b) <= r; }

bool InTriangle(TPoint p, TPoint a, TPoint b, TPoint c) {
  auto side = [&](TPoint u, TPoint v) { return (v.x - u.x) * (p.y - u.y) - (v.y - u.y) * (p.x - u.x); };
  double d1 = side(a, b), d2 = side(b, c), d3 = side(c, a);
  return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
}

constexpr TPoint kCentre{16, 16};

bool QuestionMark(TPoint p) {
  TPoint c{16, 11.5};
  double d = std::hypot(p.x - c.x, p.y - c.y);
  // The hook: a ring open on its lower left, running into the stem.
  bool hook = d >= 3.8 && d <= 7.8 && !(p.x < c.x && p.y > c.y - 1);
  return hook || InStroke(p, {16, 17}, {16, 19.5}, 2.0) || InCircle(p, {16, 24.5}, 2.3);
}

std::vector<std::pair<std::vector<uint8_t>, uint32_t>> IconShapes(TUiIcon icon) {
  auto disc = [](TPoint p) { return InCircle(p, kCentre, 15.2); };
  switch (icon) {
    case TUiIcon::Information:
      return {{Rasterise(disc), kIconBlue},
              {Rasterise([](TPoint p) {
                 return InCircle(p, {16, 9}, 2.5) || InStroke(p, {16, 14}, {16, 24}, 2.2);
               }),
               kIconWhite}};
    case TUiIcon::Question: return {{Rasterise(disc), kIconBlue}, {Rasterise(QuestionMark), kIconWhite}};
    case TUiIcon::Error:
      return {{Rasterise(disc), kIconRed},
              {Rasterise([](TPoint p) {
                 return InStroke(p, {10.5, 10.5}, {21.5, 21.5}, 2.3) || InStroke(p, {21.5, 10.5}, {10.5, 21.5}, 2.3);
               }),
               kIconWhite}};
    case TUiIcon::Warning:
      return {{Rasterise([](TPoint p) {
                 return InTriangle(p, {16, 1.5}, {31, 29.5}, {1, 29.5});
               }),
               kIconYellow},
              {Rasterise([](TPoint p) {
                 return InStroke(p, {16, 11}, {16, 19.5}, 2.1) || InCircle(p, {16, 24.5}, 2.2);
               }),
               kIconBlack}};
    case TUiIcon::None: break;
  }
  return {};
}

bool IsAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int ToUpperAscii(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

}  // namespace

TUiMessageBox::TUiMessageBox(std::shared_ptr<TUiFont> font, std::string caption, std::string text, TUiIcon icon,
                             std::vector<TUiButton> buttons, int defaultButton, TUiResult cancelResult)
    : FFont(std::move(font)), FCaption(std::move(caption)), FText(std::move(text)), FIcon(icon), FCancel(cancelResult) {
  if (buttons.empty()) buttons.push_back({"OK", TUiResult::Ok});
  for (const TUiButton& b : buttons) {
    TButtonFace face;
    face.result = b.result;
    const std::string& s = b.caption;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] != '&') {
        face.label += s[i];
      } else if (i + 1 < s.size() && s[i + 1] == '&') {
        face.label += '&';
        ++i;
      } else if (i + 1 < s.size() && face.key == 0 && IsAsciiAlnum(static_cast<unsigned char>(s[i + 1]))) {
        face.before_key = face.label;
        face.key = ToUpperAscii(static_cast<unsigned char>(s[i + 1]));
      }
    }
    FButtons.push_back(std::move(face));
  }
  FFocus = defaultButton >= 0 && defaultButton < ButtonCount() ? defaultButton : 0;
  for (auto& [coverage, color] : IconShapes(FIcon)) FIconLayers.push_back({std::move(coverage), color});
}

std::vector<TUiButton> TUiMessageBox::StandardButtons(TUiButtons buttons, bool japanese) {
  TUiButton ok{"OK", TUiResult::Ok};
  TUiButton cancel{japanese ? "キャンセル" : "Cancel", TUiResult::Cancel};
  TUiButton yes{japanese ? "はい(&Y)" : "&Yes", TUiResult::Yes};
  TUiButton no{japanese ? "いいえ(&N)" : "&No", TUiResult::No};
  TUiButton no_all{japanese ? "すべていいえ" : "No to All", TUiResult::NoToAll};
  TUiButton yes_all{japanese ? "すべてはい" : "Yes to All", TUiResult::YesToAll};
  switch (buttons) {
    case TUiButtons::Ok: return {ok};
    case TUiButtons::OkCancel: return {ok, cancel};
    case TUiButtons::YesNo: return {yes, no};
    case TUiButtons::YesNoCancel: return {yes, no, cancel};
    case TUiButtons::YesNoCancelNoAllYesAll: return {yes, no, cancel, no_all, yes_all};
  }
  return {ok};
}

TUiResult TUiMessageBox::StandardCancel(TUiButtons buttons) {
  switch (buttons) {
    case TUiButtons::Ok: return TUiResult::Ok;
    case TUiButtons::YesNo: return TUiResult::No;
    case TUiButtons::OkCancel:
    case TUiButtons::YesNoCancel:
    case TUiButtons::YesNoCancelNoAllYesAll: return TUiResult::Cancel;
  }
  return TUiResult::None;
}

TUiMessageBox TUiMessageBox::Standard(std::shared_ptr<TUiFont> font, std::string caption, std::string text,
                                      TUiIcon icon, TUiButtons buttons, bool japanese) {
  return TUiMessageBox(std::move(font), std::move(caption), std::move(text), icon, StandardButtons(buttons, japanese),
                       0, StandardCancel(buttons));
}

int TUiMessageBox::FontHeight() const { return FFont ? FFont->Height() : kNoFontHeight; }

int TUiMessageBox::LineHeight() const { return FontHeight() + 3; }

int TUiMessageBox::Advance(char32_t cp) {
  if (FFont) return FFont->Advance(cp);
  if (cp < 0x20 || cp == 0x7F) return 0;
  return cp < 0x80 ? kNoFontHeight / 2 : kNoFontHeight;
}

int TUiMessageBox::TextWidth(std::string_view utf8) {
  int64_t w = 0;
  for (size_t pos = 0; pos < utf8.size();) w += Advance(DecodeUtf8(utf8, pos));
  return static_cast<int>(std::min<int64_t>(w, INT_MAX));
}

// Lines break at "\r\n", "\n" or "\r"; a line wider than `width` breaks after
// its last space, or else before the character that overflows, which suits
// Japanese text without spaces. Every line holds at least one character.
void TUiMessageBox::Wrap(int width) {
  FLines.clear();
  std::string_view text = FText;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    std::string_view para = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    size_t line_start = 0, last_space = std::string_view::npos, pos = 0;
    int64_t w = 0;
    while (pos < para.size()) {
      size_t cp_start = pos;
      char32_t cp = DecodeUtf8(para, pos);
      int a = Advance(cp);
      if (w + a > width && cp_start > line_start) {
        bool at_space = last_space != std::string_view::npos && last_space > line_start;
        size_t cut = at_space ? last_space : cp_start;
        FLines.emplace_back(para.substr(line_start, cut - line_start));
        line_start = at_space || cp == ' ' ? cut + 1 : cut;
        last_space = std::string_view::npos;
        pos = line_start;
        w = 0;
        continue;
      }
      if (cp == ' ') last_space = cp_start;
      w += a;
    }
    FLines.emplace_back(para.substr(std::min(line_start, para.size())));
    if (end == std::string_view::npos) break;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
}

void TUiMessageBox::Layout(int areaW, int areaH) { Layout(TUiRect{0, 0, areaW, areaH}); }

void TUiMessageBox::Layout(const TUiRect& area) {
  TUiRect clean{area.x, area.y, std::max(area.w, 0), std::max(area.h, 0)};
  bool same = FLaidOut && clean.x == FArea.x && clean.y == FArea.y && clean.w == FArea.w && clean.h == FArea.h;
  if (same) return;
  FArea = clean;
  FLaidOut = true;
  FDirty = true;
  int fh = FontHeight();
  FTitleHeight = fh + 8;
  int icon_space = FIcon != TUiIcon::None ? kIconSize + kPad : 0;
  int limit = std::min(kMaxWidth, FArea.w > 2 * kMargin + kMinWidth ? FArea.w - 2 * kMargin : FArea.w);
  Wrap(std::max(1, limit - 2 - 2 * kPad - icon_space));

  int text_w = 0;
  for (const std::string& line : FLines) text_w = std::max(text_w, TextWidth(line));
  int64_t text_h = static_cast<int64_t>(FLines.size()) * LineHeight();
  int64_t row_w = -kButtonGap;
  for (const TButtonFace& b : FButtons)
    row_w += std::max(kMinButtonWidth, TextWidth(b.label) + 2 * kButtonPad) + kButtonGap;
  int64_t content_w = std::max<int64_t>({static_cast<int64_t>(text_w) + icon_space, row_w, TextWidth(FCaption)});
  int w = static_cast<int>(std::min<int64_t>(std::max<int64_t>(content_w + 2 + 2 * kPad, kMinWidth), limit));

  int button_h = fh + 10;
  int64_t body_h = std::max<int64_t>(text_h, icon_space ? kIconSize : 0);
  int64_t want_h = 2 + FTitleHeight + 3 * kPad + body_h + button_h;
  int h = static_cast<int>(std::min<int64_t>(want_h, FArea.h));
  FRect = {FArea.x + (FArea.w - w) / 2, FArea.y + (FArea.h - h) / 2, w, h};

  int body_top = FRect.y + 1 + FTitleHeight + kPad;
  int buttons_top = FRect.y + FRect.h - 1 - kPad - button_h;
  FIconX = FRect.x + 1 + kPad;
  FIconY = body_top + static_cast<int>(std::max<int64_t>(0, (body_h - kIconSize) / 2));
  int text_x = FIconX + icon_space;
  int text_y = body_top + static_cast<int>(std::max<int64_t>(0, (body_h - text_h) / 2));
  FTextRect = Intersect({text_x, text_y, FRect.x + FRect.w - 1 - kPad - text_x, buttons_top - kPad / 2 - text_y},
                        {FRect.x + 1, FRect.y + 1 + FTitleHeight, FRect.w - 2, FRect.h - 2 - FTitleHeight});
  PlaceButtons(FRect.x + 1 + kPad, FRect.w - 2 - 2 * kPad, buttons_top, button_h);
}

// Buttons keep their natural width when the row fits and share the room
// equally when it does not; each is then cut to the inside of the box.
void TUiMessageBox::PlaceButtons(int innerLeft, int innerWidth, int top, int height) {
  int n = ButtonCount();
  std::vector<int> widths;
  int64_t row_w = static_cast<int64_t>(kButtonGap) * (n - 1);
  for (const TButtonFace& b : FButtons) {
    widths.push_back(std::max(kMinButtonWidth, TextWidth(b.label) + 2 * kButtonPad));
    row_w += widths.back();
  }
  int gap = kButtonGap;
  if (row_w > innerWidth) {
    gap = innerWidth >= (kButtonGap + 8) * n ? kButtonGap : 0;
    int each = std::max(0, (innerWidth - gap * (n - 1)) / n);
    std::fill(widths.begin(), widths.end(), each);
    row_w = static_cast<int64_t>(each) * n + static_cast<int64_t>(gap) * (n - 1);
  }
  int64_t x = innerLeft + (innerWidth - row_w) / 2;
  TUiRect inside{FRect.x + 1, FRect.y + 1, FRect.w - 2, FRect.h - 2};
  for (int i = 0; i < n; ++i) {
    TUiRect r{static_cast<int>(std::clamp<int64_t>(x, INT_MIN, INT_MAX)), top, widths[static_cast<size_t>(i)], height};
    FButtons[static_cast<size_t>(i)].rect = Intersect(r, inside);
    x += widths[static_cast<size_t>(i)] + gap;
  }
}

TUiRect TUiMessageBox::ShadowRect() const {
  if (FRect.Empty()) return {};
  return Intersect({FRect.x + kShadowOffset, FRect.y + kShadowOffset, FRect.w, FRect.h}, FArea);
}

TUiRect TUiMessageBox::ButtonRect(int index) const {
  return index >= 0 && index < ButtonCount() ? FButtons[static_cast<size_t>(index)].rect : TUiRect{};
}

int TUiMessageBox::HitButton(int x, int y) const {
  for (int i = 0; i < ButtonCount(); ++i) {
    if (FButtons[static_cast<size_t>(i)].rect.Contains(x, y)) return i;
  }
  return -1;
}

void TUiMessageBox::Answer(TUiResult result) {
  FResult = result;
  FDirty = true;
}

void TUiMessageBox::MoveFocus(int step) {
  int n = ButtonCount();
  FFocus = ((FFocus + step) % n + n) % n;
  FDirty = true;
}

bool TUiMessageBox::OnKeyDown(int key, bool shift) {
  if (FResult) return false;
  switch (key) {
    case vk::kLeft:
    case vk::kUp: MoveFocus(-1); return true;
    case vk::kRight:
    case vk::kDown: MoveFocus(1); return true;
    case vk::kTab: MoveFocus(shift ? -1 : 1); return true;
    case vk::kReturn:
    case vk::kSpace: Answer(FButtons[static_cast<size_t>(FFocus)].result); return true;
    case vk::kEscape:
      if (FCancel == TUiResult::None) return false;
      Answer(FCancel);
      return true;
    default: break;
  }
  for (const TButtonFace& b : FButtons) {
    if (b.key != 0 && b.key == key) {
      Answer(b.result);
      return true;
    }
  }
  return false;
}

void TUiMessageBox::OnMouseMove(int x, int y) {
  int hit = HitButton(x, y);
  if (hit != FHot) FDirty = true;
  FHot = hit;
}

void TUiMessageBox::OnMouseDown(int x, int y) {
  if (FResult) return;
  OnMouseMove(x, y);
  FPressed = FHot;
  if (FPressed >= 0) FFocus = FPressed;
  FDirty = true;
}

void TUiMessageBox::OnMouseUp(int x, int y) {
  if (FResult) return;
  OnMouseMove(x, y);
  if (FPressed >= 0 && FPressed == FHot) Answer(FButtons[static_cast<size_t>(FPressed)].result);
  FPressed = -1;
  FDirty = true;
}

void TUiMessageBox::PaintFrame(TUiCanvas& canvas) {
  const TUiRect& r = FRect;
  canvas.FillRect(r.x, r.y, r.w, r.h, kBody);
  canvas.FrameRect(r.x, r.y, r.w, r.h, kFrame);
  TUiRect bar = Intersect({r.x + 1, r.y + 1, r.w - 2, FTitleHeight}, {r.x + 1, r.y + 1, r.w - 2, r.h - 2});
  canvas.FillRect(bar.x, bar.y, bar.w, bar.h, kTitleBar);
  if (!FFont) return;
  TUiCanvas title = canvas;
  title.IntersectClip({bar.x + 6, bar.y, bar.w - 12, bar.h});
  FFont->Draw(title, bar.x + 8, bar.y + (FTitleHeight - FontHeight()) / 2, FCaption, kTitleText);
}

void TUiMessageBox::PaintText(TUiCanvas& canvas) {
  TUiCanvas body = canvas;
  body.IntersectClip({FRect.x + 1, FRect.y + 1 + FTitleHeight, FRect.w - 2, FRect.h - 2 - FTitleHeight});
  for (const TIconLayer& layer : FIconLayers) {
    body.BlendCoverage(FIconX, FIconY, layer.coverage.data(), kIconSize, kIconSize, kIconSize, layer.color);
  }
  if (!FFont) return;
  body.IntersectClip(FTextRect);
  int y = FTextRect.y;
  for (const std::string& line : FLines) {
    if (y >= FTextRect.y + FTextRect.h) break;
    FFont->Draw(body, FTextRect.x, y, line, kText);
    y += LineHeight();
  }
}

void TUiMessageBox::PaintButton(TUiCanvas& canvas, int index) {
  const TButtonFace& b = FButtons[static_cast<size_t>(index)];
  const TUiRect& r = b.rect;
  if (r.Empty()) return;
  bool pressed = FPressed == index && FHot == index;
  uint32_t face = pressed ? kPressedFace : FHot == index ? kHotFace : kButtonFace;
  uint32_t border = pressed ? kPressedBorder : (FHot == index || FFocus == index) ? kAccent : kButtonBorder;
  canvas.FillRect(r.x, r.y, r.w, r.h, face);
  canvas.FrameRect(r.x, r.y, r.w, r.h, border);
  if (FFocus == index) canvas.FrameRect(r.x + 1, r.y + 1, r.w - 2, r.h - 2, border);
  if (!FFont) return;
  TUiCanvas inside = canvas;
  inside.IntersectClip({r.x + 2, r.y + 2, r.w - 4, r.h - 4});
  int x = r.x + (r.w - TextWidth(b.label)) / 2;
  int y = r.y + (r.h - FontHeight()) / 2;
  FFont->Draw(inside, x, y, b.label, kText);
  if (b.key != 0) {
    size_t pos = b.before_key.size();
    int key_w = Advance(DecodeUtf8(b.label, pos));
    inside.HLine(x + TextWidth(b.before_key), y + FFont->Ascent() + 1, key_w, kText);
  }
}

void TUiMessageBox::Paint(TUiCanvas& canvas) {
  if (!FLaidOut) Layout(canvas.width, canvas.height);
  FDirty = false;
  if (FRect.Empty()) return;
  TUiCanvas c = canvas;
  c.IntersectClip(FArea);
  TUiRect shadow = ShadowRect();
  c.BlendRect(shadow.x, shadow.y, shadow.w, shadow.h, kShadow, kShadowAlpha);
  PaintFrame(c);
  PaintText(c);
  for (int i = 0; i < ButtonCount(); ++i) PaintButton(c, i);
}

}  // namespace kest
