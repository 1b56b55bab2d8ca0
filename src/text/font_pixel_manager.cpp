#include "text/font_pixel_manager.h"

#include <algorithm>

#include "common/errors.h"
#include "text/tp_word.h"

namespace kest {

namespace {

constexpr std::string_view kNoMetrics = "Error:GetOutlineTextMetrics";

// Levels per grey format.
constexpr int32_t kLevels[kGreyFormatCount] = {2, 5, 17, 65};

struct TGreyTables {
  std::array<std::array<uint8_t, 256>, kGreyFormatCount> Map{};
  TGreyTables() {
    for (int32_t f = 0; f < kGreyFormatCount; ++f) {
      const int32_t top = kLevels[f] - 1;
      for (int32_t c = 0; c < 256; ++c) {
        const int32_t q = (c * top + 127) / 255;
        Map[size_t(f)][size_t(c)] = uint8_t((q * 255 + top / 2) / top);
      }
    }
  }
};

const TGreyTables& GreyTables() {
  static const TGreyTables tables;
  return tables;
}

}  // namespace

uint8_t QuantiseGrey(uint8_t coverage, int32_t format) {
  return GreyTables().Map[size_t(std::clamp(format, 0, kGreyFormatCount - 1))][coverage];
}

TFontPixelManager::TFontPixelManager(IFontBackend& fonts) : FFonts(fonts) {}

std::string TFontPixelManager::FaceFor(const std::string& name) {
  return !name.empty() && FFonts.HasFace(name) ? name : std::string(kDefaultFontName);
}

int32_t DrawableFontSize(int32_t size) { return std::clamp(size, 1, kMaxFontSize); }

TFontMetrics TFontPixelManager::Metrics(const std::string& fontName, int32_t size, uint8_t style) {
  const std::optional<TFontMetrics> m = FFonts.Metrics({FaceFor(fontName), size, style, false});
  if (!m) throw EKestError(std::string(kNoMetrics));
  return *m;
}

TAbcWidths TFontPixelManager::Abc(uint16_t code, const std::string& fontName, int32_t size, uint8_t style) {
  return FFonts.Abc({FaceFor(fontName), size, style, false}, code);
}

const TFontPixel& TFontPixelManager::Get(uint16_t code, const std::string& fontName, int32_t size, uint8_t style,
                                         int32_t format) {
  format = FMonoOnly ? 0 : std::clamp(format, 0, kGreyFormatCount - 1);
  const std::string face = FaceFor(fontName);
  std::vector<TEntries::iterator>& bucket = FBuckets[code & 0xFF];
  for (TEntries::iterator it : bucket)
    if (it->Code == code && it->Size == size && it->Style == style && it->Format == format && it->FontName == face) {
      FEntries.splice(FEntries.begin(), FEntries, it);
      return *it;
    }
  TFontPixel made = Render(code, face, size, style, format);
  if (FEntries.size() >= kCapacity) {
    const TEntries::iterator last = std::prev(FEntries.end());
    std::erase(FBuckets[last->Code & 0xFF], last);
    FEntries.erase(last);
  }
  FEntries.push_front(std::move(made));
  // The format may have fallen back to one bit while rendering.
  FBuckets[FEntries.front().Code & 0xFF].push_back(FEntries.begin());
  return FEntries.front();
}

TFontPixel TFontPixelManager::Render(uint16_t code, const std::string& face, int32_t size, uint8_t style,
                                     int32_t format) {
  const TFontRequest request{face, size, style, format == 0};
  const std::optional<TFontMetrics> metrics = FFonts.Metrics(request);
  if (!metrics) throw EKestError(std::string(kNoMetrics));
  std::optional<TGlyphImage> image = FFonts.Glyph(request, code);
  if (!image && format > 0) {
    FMonoOnly = true;
    format = 0;
    image = FFonts.Glyph({face, size, style, true}, code);
  }
  TFontPixel p;
  p.Code = code;
  p.FontName = face;
  p.Size = size;
  p.Style = style;
  p.Format = format;
  p.Ascent = metrics->Ascent;
  p.UnderlineSize = std::max(1, metrics->UnderlineSize);
  p.UnderlinePosition = metrics->UnderlinePosition;
  p.StrikeoutSize = std::max(1, metrics->StrikeoutSize);
  p.StrikeoutPosition = metrics->StrikeoutPosition;
  p.Abc = FFonts.Abc(request, code);
  if (!image) return p;
  p.Advance = image->Advance;
  if (image->Width > 0 && image->Height > 0 && image->Coverage.size() == size_t(image->Width) * size_t(image->Height)) {
    p.Width = image->Width;
    p.Height = image->Height;
    p.Coverage = std::move(image->Coverage);
    for (uint8_t& c : p.Coverage) c = format == 0 ? (c >= 128 ? 255 : 0) : QuantiseGrey(c, format);
  }
  p.LeftOffset = std::max(0, image->OriginX);
  p.TopOffset = std::max(0, metrics->Ascent - image->OriginY);
  p.RightGap = std::max(0, image->Advance - p.Width - p.LeftOffset);
  return p;
}

}  // namespace kest
