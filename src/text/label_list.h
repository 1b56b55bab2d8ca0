#pragma once
// The caption engine of buttons and menus: one line of plain text per label,
// no markup, each label rendered once into its own colour and coverage layers
// and drawn from them until its text, the font or the target's depth changes.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/dibx.h"
#include "text/font_pixel_manager.h"

namespace kest {

class TStream;
class TFontPixelManager;
struct TCharLook;

// "ＭＳ Ｐゴシック" in CP932.
inline constexpr std::string_view kLabelFontName = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";

// What a caption record may hold; anything beyond is damage, not a design.
inline constexpr int32_t kMaxLabelFontSize = 512;
inline constexpr int32_t kMaxLabelOutline = kMaxOutline;

// The size of the font metrics block a caption record carries.
inline constexpr int32_t kLabelMetricsSize = 212;

struct TTpLabelDIB {
  std::string Text;  // CP932
  bool Dirty = true;
  bool Measured = false;  // the widths belong to the text and the font
  int32_t Height = 0;
  int32_t Width = 0;  // the sum of the character widths
  std::vector<int32_t> CharWidths;
  TDIBX Colours;   // the target's depth, pixel 0 transparent
  TDIBX Coverage;  // 8 bits
  int RenderedBits = 0;
};

class TTpLabelList {
 public:
  TTpLabelList();
  ~TTpLabelList();
  TTpLabelList(const TTpLabelList&) = delete;
  TTpLabelList& operator=(const TTpLabelList&) = delete;

  // The new label's index; it is measured with the next MeasureLabels (or
  // when first rendered).
  int32_t Add(std::string_view text = {});
  void Clear() { FLabels.clear(); }
  int32_t Count() const { return static_cast<int32_t>(FLabels.size()); }
  // Null outside the list; calls with such an index do nothing.
  TTpLabelDIB* Label(int32_t index) const;
  void SetText(int32_t index, std::string_view text);

  // Heights and character widths of every label in the current font. A font
  // whose metrics cannot be read raises "Error:GetOutlineTextMetrics".
  void MeasureLabels();
  // Renders the label into its layers when it is dirty or the target's depth
  // changed since.
  void RenderLabel(int32_t index);
  // Draws the label with its top-left corner at (x, y) on the target,
  // rendering it first when needed.
  void DrawLabel(int32_t index, int32_t x, int32_t y);
  int32_t MaxWidth() const;
  void MarkAllDirty();

  // The caption record. Loading measures every label again in the font read.
  void SaveToStream(TStream& stream);
  void LoadFromStream(TStream& stream, int32_t version);

  int32_t AntiAlias = 3;  // 0 mono, 1-3 the 5, 17 and 65-level grey
  TCustomDIBX* Target = nullptr;
  int32_t OutlineWidth = 0;
  int32_t Alpha = 255;
  int32_t FontSize = 12;
  std::string FontName{kLabelFontName};
  int32_t FontColor = 0xFFFFFF;  // colours are 0x00BBGGRR
  int32_t OutlineColor = 0;
  uint8_t Style = 0;  // bits as in a text decoration
  int32_t ShadowOffset = 0;
  int32_t ShadowColor = 0;
  TFontPixelManager* Fonts = nullptr;

 private:
  struct TMeasure;
  void Measure(TTpLabelDIB& label, TMeasure& pass);
  TMeasure StartMeasure();
  void Render(TTpLabelDIB& label);
  TCharLook Look() const;
  std::array<uint8_t, kLabelMetricsSize> MetricsBlock();

  std::vector<std::unique_ptr<TTpLabelDIB>> FLabels;
};

}  // namespace kest
