#include "scene/components/edit_box.h"

#include <algorithm>
#include <cstdlib>

#include "common/errors.h"
#include "common/sjis.h"
#include "imaging/custom_dibx.h"
#include "platform/vk_keys.h"
#include "text/font_pixel_manager.h"

namespace kest {

namespace {

constexpr int32_t kPadding = 2;
// The desktop's selection colours (0x00BBGGRR).
constexpr int32_t kHighlight = 0xD77800;
constexpr int32_t kHighlightText = 0xFFFFFF;

}  // namespace

TEditBox::TEditBox(bool multiLine) : FMultiLine(multiLine) {}

void TEditBox::SetText(std::string text) {
  FText = std::move(text);
  FLaidOut = false;
  FScrollX = 0;
  FScrollRow = 0;
  SelectAll();
}

void TEditBox::SelectAll() {
  FAnchor = 0;
  FCaret = FText.size();
}

size_t TEditBox::NextChar(size_t at) const {
  if (at >= FText.size()) return FText.size();
  // CR LF is one step, as the box shows it as one line break.
  if (FText[at] == '\r' && at + 1 < FText.size() && FText[at + 1] == '\n') return at + 2;
  if (IsLeadByte(uint8_t(FText[at])) && at + 1 < FText.size()) return at + 2;
  return at + 1;
}

size_t TEditBox::PrevChar(size_t at) const {
  // A trail byte may look like a lead byte, so the walk starts at the front.
  size_t prev = 0;
  for (size_t i = 0; i < at; i = NextChar(i)) prev = i;
  return prev;
}

void TEditBox::Replace(size_t from, size_t to, std::string_view with) {
  FText.replace(from, to - from, with);
  FCaret = FAnchor = from + with.size();
  FLaidOut = false;
}

void TEditBox::MoveCaret(size_t to, bool keepSelection) {
  FCaret = to;
  if (!keepSelection) FAnchor = to;
}

void TEditBox::Type(std::string_view cp932) {
  if (ReadOnly) return;
  std::string text(cp932);
  if (!FMultiLine) std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  Replace(std::min(FCaret, FAnchor), std::max(FCaret, FAnchor), text);
}

bool TEditBox::Key(int key) {
  const size_t from = std::min(FCaret, FAnchor), to = std::max(FCaret, FAnchor);
  switch (key) {
    case vk::kBack:
    case vk::kDelete:
      if (ReadOnly) return true;
      if (HasSelection())
        Replace(from, to, {});
      else if (key == vk::kBack && FCaret > 0)
        Replace(PrevChar(FCaret), FCaret, {});
      else if (key == vk::kDelete && FCaret < FText.size())
        Replace(FCaret, NextChar(FCaret), {});
      return true;
    case vk::kLeft: MoveCaret(HasSelection() ? from : PrevChar(FCaret)); return true;
    case vk::kRight: MoveCaret(HasSelection() ? to : NextChar(FCaret)); return true;
    case vk::kHome:
    case vk::kEnd: {
      if (!FMultiLine) {
        MoveCaret(key == vk::kHome ? 0 : FText.size());
        return true;
      }
      if (key == vk::kHome) {
        const size_t br = FCaret < 2 ? std::string::npos : FText.rfind("\r\n", FCaret - 2);
        MoveCaret(br == std::string::npos ? 0 : br + 2);
      } else {
        const size_t br = FText.find("\r\n", FCaret);
        MoveCaret(br == std::string::npos ? FText.size() : br);
      }
      return true;
    }
    case vk::kUp:
    case vk::kDown: {
      if (!FMultiLine || !FLaidOut || FRows.empty()) return FMultiLine;
      const size_t row = RowOf(FCaret);
      const size_t target = key == vk::kUp ? (row == 0 ? row : row - 1) : std::min(row + 1, FRows.size() - 1);
      MoveCaret(OffsetAtX(FRows[target], CaretX(FRows[row], FCaret)));
      return true;
    }
    case vk::kReturn:
      if (!FMultiLine) return false;
      if (!ReadOnly) Replace(from, to, "\r\n");
      return true;
    default: return false;
  }
}

void TEditBox::Layout(TFontPixelManager* fonts, int32_t width) {
  FLaidOut = true;
  FLaidWidth = width;
  FLaidFonts = fonts;
  FRows.clear();
  FLabels.Clear();
  FLabels.Fonts = fonts;
  FLabels.FontName = FontName;
  FLabels.FontSize = std::max(1, std::abs(FontHeight));
  FLabels.Style = FontStyle & 0x0F;
  FLabels.AntiAlias = 3;
  FRowHeight = FLabels.FontSize;
  // Logical lines first, measured whole so long ones can be broken at width.
  std::vector<std::pair<size_t, size_t>> lines;
  for (size_t start = 0;;) {
    const size_t br = FMultiLine ? FText.find("\r\n", start) : std::string::npos;
    lines.emplace_back(start, br == std::string::npos ? FText.size() : br);
    if (br == std::string::npos) break;
    start = br + 2;
  }
  for (const auto& [start, end] : lines) FLabels.Add(std::string_view(FText).substr(start, end - start));
  try {
    FLabels.MeasureLabels();
  } catch (const EKestError&) {
    FLabels.Fonts = nullptr;
  }
  const int32_t room = width - 2 * kPadding;
  for (size_t i = 0; i < lines.size(); ++i) {
    const TTpLabelDIB& label = *FLabels.Label(int32_t(i));
    TRow row;
    row.Start = lines[i].first;
    int32_t x = 0;
    size_t n = 0;
    for (size_t at = lines[i].first; at < lines[i].second; at = NextChar(at), ++n) {
      const int32_t w = n < label.CharWidths.size() ? label.CharWidths[n] : 0;
      if (FMultiLine && room > 0 && x > 0 && x + w > room) {
        row.End = at;
        FRows.push_back(std::move(row));
        row = TRow();
        row.Start = at;
        x = 0;
      }
      row.Offsets.push_back(at);
      x += w;
    }
    row.End = lines[i].second;
    FRows.push_back(std::move(row));
  }
  // Rows measured again on their own: the last character of a row keeps its
  // overhang.
  FLabels.Clear();
  for (const TRow& row : FRows) FLabels.Add(std::string_view(FText).substr(row.Start, row.End - row.Start));
  if (FLabels.Fonts) try {
      FLabels.MeasureLabels();
    } catch (const EKestError&) {
      FLabels.Fonts = nullptr;
    }
  for (size_t i = 0; i < FRows.size(); ++i) {
    const TTpLabelDIB& label = *FLabels.Label(int32_t(i));
    TRow& row = FRows[i];
    int32_t x = 0;
    for (size_t n = 0; n < row.Offsets.size(); ++n) {
      row.X.push_back(x);
      x += n < label.CharWidths.size() ? label.CharWidths[n] : 0;
    }
    row.X.push_back(x);
    if (FLabels.Fonts && label.Height > 0) FRowHeight = label.Height;
  }
}

size_t TEditBox::RowOf(size_t at) const {
  size_t row = 0;
  while (row + 1 < FRows.size() && FRows[row + 1].Start <= at) ++row;
  return row;
}

int32_t TEditBox::CaretX(const TRow& row, size_t at) const {
  for (size_t n = 0; n < row.Offsets.size(); ++n)
    if (row.Offsets[n] >= at) return row.X[n];
  return row.X.back();
}

size_t TEditBox::OffsetAtX(const TRow& row, int32_t x) const {
  for (size_t n = 0; n < row.Offsets.size(); ++n)
    if (x < (row.X[n] + row.X[n + 1] + 1) / 2) return row.Offsets[n];
  return row.End;
}

int32_t TEditBox::RowLeft(const TRow& row, int32_t width) const {
  const int32_t room = width - 2 * kPadding;
  if (!FMultiLine || Align == kAlignLeft || row.X.back() >= room) return kPadding;
  return kPadding + (Align == kAlignRight ? room - row.X.back() : (room - row.X.back()) / 2);
}

void TEditBox::Scroll(int32_t width, int32_t height) {
  if (FRows.empty()) return;
  if (!FMultiLine) {
    const int32_t room = std::max(1, width - 2 * kPadding - 1);
    const int32_t x = CaretX(FRows[0], FCaret);
    if (FRows[0].X.back() <= room) FScrollX = 0;
    FScrollX = std::clamp(FScrollX, std::max(0, x - room), x);
    return;
  }
  const int32_t shown = std::max(1, (height - 2 * kPadding) / std::max(1, FRowHeight));
  const int32_t row = int32_t(RowOf(FCaret));
  FScrollRow = std::clamp(FScrollRow, std::max(0, row - shown + 1), row);
}

void TEditBox::CaretToPoint(int32_t x, int32_t y) {
  if (!FLaidOut || FRows.empty()) return;
  size_t row = 0;
  if (FMultiLine) {
    const int32_t at = (y - kPadding) / std::max(1, FRowHeight) + FScrollRow;
    row = size_t(std::clamp<int32_t>(at, 0, int32_t(FRows.size()) - 1));
  }
  MoveCaret(OffsetAtX(FRows[row], x - RowLeft(FRows[row], FBoxWidth) + FScrollX));
}

TRect TEditBox::CaretRect() const {
  if (FRows.empty()) return MakeRect(kPadding, kPadding, 1, FRowHeight);
  const size_t row = RowOf(FCaret);
  const int32_t top = FMultiLine ? kPadding + (int32_t(row) - FScrollRow) * FRowHeight : (FBoxHeight - FRowHeight) / 2;
  return MakeRect(RowLeft(FRows[row], FBoxWidth) + CaretX(FRows[row], FCaret) - FScrollX, top, 1, FRowHeight);
}

void TEditBox::Paint(TCustomDIBX& surface, const TRect& bounds, TFontPixelManager* fonts) {
  const TRect area = surface.ClipActive ? IntersectRect(bounds, surface.ClipRect) : bounds;
  if (area.IsEmpty()) return;
  const TRect savedClip = surface.ClipRect;
  const bool savedActive = surface.ClipActive;
  surface.ClipRect = area;
  surface.ClipActive = true;
  surface.FillRect(bounds, uint32_t(surface.ColorToPixel(BackColour)));
  FBoxWidth = bounds.Right - bounds.Left;
  FBoxHeight = bounds.Bottom - bounds.Top;
  if (fonts) {
    if (!FLaidOut || FLaidWidth != FBoxWidth || FLaidFonts != fonts) Layout(fonts, FBoxWidth);
    Scroll(FBoxWidth, FBoxHeight);
    FLabels.Target = &surface;
    const size_t from = std::min(FCaret, FAnchor), to = std::max(FCaret, FAnchor);
    for (size_t i = size_t(FScrollRow); i < FRows.size(); ++i) {
      const TRow& row = FRows[i];
      const int32_t top = FMultiLine ? bounds.Top + kPadding + int32_t(i - size_t(FScrollRow)) * FRowHeight
                                     : bounds.Top + (FBoxHeight - FRowHeight) / 2;
      if (top >= area.Bottom) break;
      const int32_t left = bounds.Left + RowLeft(row, FBoxWidth) - FScrollX;
      try {
        FLabels.FontColor = FontColour;
        FLabels.DrawLabel(int32_t(i), left, top);
        const size_t a = std::max(from, row.Start), b = std::min(to, row.End);
        // As on the desktop, a box without the keys hides its selection.
        if (a < b && Focused) {
          // The selected part is drawn again over the highlight, clipped to it.
          const TRect band =
              IntersectRect(area, TRect{left + CaretX(row, a), top, left + CaretX(row, b), top + FRowHeight});
          if (!band.IsEmpty()) {
            surface.ClipRect = band;
            surface.FillRect(band, uint32_t(surface.ColorToPixel(kHighlight)));
            FLabels.FontColor = kHighlightText;
            FLabels.DrawLabel(int32_t(i), left, top);
            surface.ClipRect = area;
          }
        }
      } catch (const EKestError&) {
        // A font that cannot be drawn leaves the row empty, not the frame.
      }
    }
    if (Focused && Enabled && !HasSelection()) {
      const TRect caret = CaretRect();
      surface.FillRect(
          TRect{bounds.Left + caret.Left, bounds.Top + caret.Top, bounds.Left + caret.Right, bounds.Top + caret.Bottom},
          uint32_t(surface.ColorToPixel(FontColour)));
    }
  }
  surface.ClipRect = savedClip;
  surface.ClipActive = savedActive;
}

}  // namespace kest
