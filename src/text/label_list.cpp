#include "text/label_list.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "common/errors.h"
#include "common/save_versions.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "text/decorate.h"
#include "text/font_pixel_manager.h"
#include "text/glyph_layers.h"
#include "text/text_render.h"

namespace kest {

namespace {

// Before this version the record kept only "smooth or not": any stored level
// above 1 meant smooth, which is the 65-level grey.
constexpr int32_t kSaveSinceGreyLevels = 109;

// The text metrics inside the block, at the offsets the record's authoring
// platform gave them (a 4-byte size, then the text metrics from offset 4).
constexpr size_t kTmHeight = 4, kTmAscent = 8, kTmDescent = 12, kTmInternalLeading = 16, kTmAveCharWidth = 24,
                 kTmMaxCharWidth = 28, kTmWeight = 32, kTmOverhang = 36, kTmAspectX = 40, kTmAspectY = 44,
                 kTmFirstChar = 48, kTmLastChar = 49, kTmDefaultChar = 50, kTmBreakChar = 51, kTmItalic = 52,
                 kTmUnderlined = 53, kTmStruckOut = 54, kTmPitchAndFamily = 55, kTmCharSet = 56;
// Proportional outline font of the modern family; the Shift-JIS character set.
constexpr uint8_t kPitchAndFamily = 0x37, kShiftJisCharSet = 128;

using TMetricsBlock = std::array<uint8_t, kLabelMetricsSize>;

void PutInt(TMetricsBlock& block, size_t at, int32_t value) {
  for (size_t i = 0; i < 4; ++i) block[at + i] = uint8_t(uint32_t(value) >> (8 * i));
}

// The characters of a CP932 text; a lead byte at the very end stands alone.
std::vector<uint16_t> CharCodes(std::string_view text) {
  std::vector<uint16_t> codes;
  for (size_t i = 0; i < text.size(); ++i) {
    uint16_t code = uint8_t(text[i]);
    if (IsLeadByte(uint8_t(text[i])) && i + 1 < text.size()) code = uint16_t(code << 8 | uint8_t(text[++i]));
    codes.push_back(code);
  }
  return codes;
}

int32_t ReadInRange(TStream& stream, int32_t low, int32_t high, const char* what) {
  const int32_t value = ReadInt(stream);
  if (value < low || value > high)
    throw EReadError(std::string("Caption record: ") + what + " " + std::to_string(value) + " is out of range");
  return value;
}

void ReadCaptionFields(TStream& stream, int32_t version, TTpLabelList& into) {
  int32_t antiAlias = ReadInt(stream);
  if (version < kSaveSinceGreyLevels) antiAlias = antiAlias > 1 ? 3 : 0;
  into.AntiAlias = std::clamp(antiAlias, 0, kGreyFormatCount - 1);
  into.OutlineWidth = ReadInRange(stream, 0, kMaxLabelOutline, "outline width");
  into.Alpha = std::clamp(ReadInt(stream), 0, 255);
  into.FontSize = ReadInRange(stream, 0, kMaxLabelFontSize, "font size");
  into.FontName = ReadStr(stream);
  into.FontColor = ReadInt(stream);
  into.OutlineColor = ReadInt(stream);
  into.Style = ReadByte(stream);
  // The stored metrics came from the font system the record was made on;
  // this one measures for itself.
  std::array<uint8_t, kLabelMetricsSize> block;
  ReadExact(stream, block.data(), int64_t(block.size()));
  if (version >= kSaveSinceCaptionShadow) {
    into.ShadowOffset = ReadInRange(stream, 0, kMaxLabelOutline, "shadow offset");
    into.ShadowColor = ReadInt(stream);
  }
}

// Outline widths and shadow offsets below 0 mean none; the record reader
// refuses what lies above the maximum, so this only guards values set in code.
int32_t Extent(int32_t value) { return std::clamp(value, 0, kMaxLabelOutline); }

// Fonts may put the underline below their descent; the bar with its outline
// and shadow is kept inside the label, or its lower edge would be cut off.
int32_t BarTop(int32_t top, int32_t size, int32_t height, const TCharLook& look) {
  return std::max(look.Border, std::min(top, height - look.Shadow - look.Border - size));
}

// An underline or strike-out across the character's column. Bars of
// neighbouring characters meet, so the outline closes the bar only at the
// ends of the label.
void RenderLabelBar(TGlyphLayers& layers, TRect bar, const TCharLook& look, bool first, bool last) {
  if (bar.IsEmpty()) return;
  const int32_t b = look.Border;
  const TRect band{bar.Left - (first ? b : 0), bar.Top - b, bar.Right + (last ? b : 0), bar.Bottom + b};
  if (look.Shadow > 0)
    layers.Bar({band.Left + look.Shadow, band.Top + look.Shadow, band.Right + look.Shadow, band.Bottom + look.Shadow},
               look.ShadowColour);
  if (b > 0) layers.Bar(band, look.BorderColour);
  layers.Bar(bar, look.Colour);
}

// One character's column in a label.
struct TColumn {
  int32_t X = 0, Width = 0, Height = 0;
  bool First = false, Last = false;
};

void RenderColumn(TGlyphLayers& layers, TFontPixelManager& fonts, const TCharLook& look, uint16_t code,
                  const TColumn& column, int32_t format) {
  const int32_t b = look.Border, x = column.X;
  const TFontPixel& p = fonts.Get(code, look.FontName, look.Size, uint8_t(look.Style & 3), format);
  StampLayers(layers, p, x + b + p.LeftOffset, b + p.TopOffset, look);
  const int32_t left = column.First ? x + b : x;
  const int32_t right = column.Last ? x + column.Width - look.Shadow - b : x + column.Width;
  const int32_t baseline = b + p.Ascent;
  if (look.Style & kStyleUnderline) {
    const int32_t t = BarTop(baseline - p.UnderlinePosition, p.UnderlineSize, column.Height, look);
    RenderLabelBar(layers, {left, t, right, t + p.UnderlineSize}, look, column.First, column.Last);
  }
  if (look.Style & kStyleStrikeOut) {
    const int32_t t = BarTop(baseline - p.StrikeoutPosition, p.StrikeoutSize, column.Height, look);
    RenderLabelBar(layers, {left, t, right, t + p.StrikeoutSize}, look, column.First, column.Last);
  }
}

}  // namespace

struct TTpLabelList::TMeasure {
  TFontMetrics Metrics;
  std::unordered_map<uint16_t, TAbcWidths> Abc;  // asked once per pass
};

TTpLabelList::TTpLabelList() = default;
TTpLabelList::~TTpLabelList() = default;

int32_t TTpLabelList::Add(std::string_view text) {
  FLabels.push_back(std::make_unique<TTpLabelDIB>());
  FLabels.back()->Text = text;
  return Count() - 1;
}

TTpLabelDIB* TTpLabelList::Label(int32_t index) const {
  return index >= 0 && index < Count() ? FLabels[size_t(index)].get() : nullptr;
}

void TTpLabelList::SetText(int32_t index, std::string_view text) {
  TTpLabelDIB* label = Label(index);
  if (!label) return;
  label->Text = text;
  label->Dirty = true;
  label->Measured = false;
}

TTpLabelList::TMeasure TTpLabelList::StartMeasure() {
  return {Fonts->Metrics(FontName, std::clamp(FontSize, 1, kMaxLabelFontSize), Style), {}};
}

void TTpLabelList::Measure(TTpLabelDIB& label, TMeasure& pass) {
  const int32_t b = Extent(OutlineWidth), o = Extent(ShadowOffset);
  const int32_t size = std::clamp(FontSize, 1, kMaxLabelFontSize);
  const std::vector<uint16_t> codes = CharCodes(label.Text);
  label.Height = pass.Metrics.Ascent + pass.Metrics.Descent + 2 * b + o;
  label.CharWidths.clear();
  int64_t total = 0;
  for (size_t i = 0; i < codes.size(); ++i) {
    auto [at, fresh] = pass.Abc.try_emplace(codes[i]);
    if (fresh) at->second = Fonts->Abc(codes[i], FontName, size, uint8_t(Style & 3));
    const TAbcWidths& abc = at->second;
    // The last character keeps the part of itself that a negative C would
    // let the next one overlap.
    const int32_t c = i + 1 == codes.size() ? std::max(abc.C, 0) : abc.C;
    const int32_t w = std::max(0, abc.A + abc.B + c + pass.Metrics.Overhang + 2 * b + o);
    label.CharWidths.push_back(w);
    total += w;
  }
  label.Width = int32_t(std::min<int64_t>(total, INT32_MAX));
  label.Measured = true;
}

void TTpLabelList::MeasureLabels() {
  if (!Fonts) return;
  TMeasure pass = StartMeasure();
  for (auto& label : FLabels) Measure(*label, pass);
}

TCharLook TTpLabelList::Look() const {
  TCharLook look;
  look.FontName = FontName;
  look.Size = std::clamp(FontSize, 1, kMaxLabelFontSize);
  look.Style = Style;
  look.Colour = FontColor;
  look.BorderColour = OutlineColor;
  look.ShadowColour = ShadowColor;
  look.Border = Extent(OutlineWidth);
  look.Shadow = Extent(ShadowOffset);
  return look;
}

void TTpLabelList::Render(TTpLabelDIB& label) {
  // Captions longer than a surface can be are cut off, not refused.
  const int32_t w = std::clamp(label.Width, 1, kMaxSurfaceSide), h = std::clamp(label.Height, 1, kMaxSurfaceSide);
  label.RenderedBits = Target ? Target->StoredBitCount() : 32;
  label.Colours.SetSize(w, h, label.RenderedBits);
  label.Colours.TransparentPixel = 0;
  label.Coverage.SetSize(w, h, 8);
  label.Colours.Fill(0);
  label.Coverage.Fill(0);
  label.Dirty = false;
  if (!Fonts) return;
  const TCharLook look = Look();
  TGlyphLayers layers(label.Colours, label.Coverage);
  const std::vector<uint16_t> codes = CharCodes(label.Text);
  TColumn column{0, 0, h, true, false};
  for (size_t i = 0; i < codes.size() && i < label.CharWidths.size() && column.X < w; ++i) {
    column.Width = label.CharWidths[i];
    column.First = i == 0;
    column.Last = i + 1 == codes.size();
    RenderColumn(layers, *Fonts, look, codes[i], column, AntiAlias);
    column.X += column.Width;
  }
}

void TTpLabelList::RenderLabel(int32_t index) {
  TTpLabelDIB* label = Label(index);
  if (!label) return;
  const int bits = Target ? Target->StoredBitCount() : 32;
  if (!label->Dirty && label->Measured && label->RenderedBits == bits) return;
  if (!label->Measured && Fonts) {
    TMeasure pass = StartMeasure();
    Measure(*label, pass);
  }
  Render(*label);
}

void TTpLabelList::DrawLabel(int32_t index, int32_t x, int32_t y) {
  if (!Target || !Label(index)) return;
  RenderLabel(index);
  const TTpLabelDIB& label = *Label(index);
  const int alpha = std::clamp(Alpha, 0, 255);
  if (label.Width <= 0 || label.Height <= 0 || alpha == 0) return;
  const TRect source{0, 0, std::min(label.Width, label.Coverage.Width()),
                     std::min(label.Height, label.Coverage.Height())};
  if (Extent(OutlineWidth) == 0 && Extent(ShadowOffset) == 0)
    Target->FillMask(x, y, label.Coverage, source, TBlit::None, uint32_t(Target->ColorToPixel(FontColor)), alpha);
  else if (alpha < 255)
    Target->DrawAlphaMask(x, y, label.Colours, source, TBlit::None, label.Coverage, alpha);
  else
    Target->DrawMask(x, y, label.Colours, source, TBlit::None, label.Coverage);
}

std::array<uint8_t, kLabelMetricsSize> TTpLabelList::MetricsBlock() {
  TMetricsBlock block{};
  PutInt(block, 0, kLabelMetricsSize);
  if (!Fonts) return block;
  const int32_t size = std::clamp(FontSize, 1, kMaxLabelFontSize);
  TFontMetrics m;
  try {
    m = Fonts->Metrics(FontName, size, Style);
  } catch (const EKestError&) {
    // Nobody reads the block back, so a font that cannot be measured does
    // not stop the record being written.
    return block;
  }
  const TAbcWidths x = Fonts->Abc('x', FontName, size, uint8_t(Style & 3));
  PutInt(block, kTmHeight, m.Ascent + m.Descent);
  PutInt(block, kTmAscent, m.Ascent);
  PutInt(block, kTmDescent, m.Descent);
  PutInt(block, kTmInternalLeading, std::max(0, m.Ascent + m.Descent - size));
  PutInt(block, kTmAveCharWidth, x.A + x.B + x.C);
  PutInt(block, kTmMaxCharWidth, size);
  PutInt(block, kTmWeight, Style & kStyleBold ? 700 : 400);
  PutInt(block, kTmOverhang, m.Overhang);
  PutInt(block, kTmAspectX, 96);
  PutInt(block, kTmAspectY, 96);
  block[kTmFirstChar] = 0x20;
  block[kTmLastChar] = 0xFF;
  block[kTmDefaultChar] = 0x1F;
  block[kTmBreakChar] = 0x20;
  block[kTmItalic] = Style & kStyleItalic ? 0xFF : 0;
  block[kTmUnderlined] = Style & kStyleUnderline ? 0xFF : 0;
  block[kTmStruckOut] = Style & kStyleStrikeOut ? 0xFF : 0;
  block[kTmPitchAndFamily] = kPitchAndFamily;
  block[kTmCharSet] = kShiftJisCharSet;
  return block;
}

int32_t TTpLabelList::MaxWidth() const {
  int32_t widest = 0;
  for (const auto& label : FLabels) widest = std::max(widest, label->Width);
  return widest;
}

void TTpLabelList::MarkAllDirty() {
  for (auto& label : FLabels) {
    label->Dirty = true;
    label->Measured = false;
  }
}

void TTpLabelList::SaveToStream(TStream& stream) {
  WriteInt(stream, AntiAlias);
  WriteInt(stream, OutlineWidth);
  WriteInt(stream, Alpha);
  WriteInt(stream, FontSize);
  WriteStr(stream, FontName);
  WriteInt(stream, FontColor);
  WriteInt(stream, OutlineColor);
  WriteByte(stream, Style);
  const TMetricsBlock block = MetricsBlock();
  WriteExact(stream, block.data(), int64_t(block.size()));
  WriteInt(stream, ShadowOffset);
  WriteInt(stream, ShadowColor);
}

void TTpLabelList::LoadFromStream(TStream& stream, int32_t version) {
  // Read into a copy so that a damaged record leaves the captions as they were.
  TTpLabelList read;
  read.ShadowOffset = ShadowOffset;
  read.ShadowColor = ShadowColor;
  ReadCaptionFields(stream, version, read);
  AntiAlias = read.AntiAlias;
  OutlineWidth = read.OutlineWidth;
  Alpha = read.Alpha;
  FontSize = read.FontSize;
  FontName = std::move(read.FontName);
  FontColor = read.FontColor;
  OutlineColor = read.OutlineColor;
  Style = read.Style;
  ShadowOffset = read.ShadowOffset;
  ShadowColor = read.ShadowColor;
  MarkAllDirty();
  MeasureLabels();
}

}  // namespace kest
