#pragma once
// The desktop font back end: faces found through fontconfig (or pinned with
// KEST_FONT_MAP) and rasterised with FreeType. Single-threaded: the text
// engine owns one and calls it from the frame loop only.

#include <memory>
#include <string>
#include <string_view>

#include "platform/font_backend.h"

namespace kest {

class TFreeTypeFontBackend : public IFontBackend {
 public:
  // Reads KEST_FONT_MAP now; the list of installed fonts on first need.
  TFreeTypeFontBackend();
  ~TFreeTypeFontBackend() override;
  TFreeTypeFontBackend(const TFreeTypeFontBackend&) = delete;
  TFreeTypeFontBackend& operator=(const TFreeTypeFontBackend&) = delete;

  bool HasFace(std::string_view name) override;
  std::optional<TFontMetrics> Metrics(const TFontRequest& font) override;
  std::optional<TGlyphImage> Glyph(const TFontRequest& font, uint16_t code) override;
  TAbcWidths Abc(const TFontRequest& font, uint16_t code) override;

  // The file a face name (CP932) resolves to, empty when none; for the log.
  std::string FacePath(std::string_view name);

 private:
  struct TState;
  std::unique_ptr<TState> FState;
};

}  // namespace kest
