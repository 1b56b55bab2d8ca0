// The screen manager: the scene's output surface, the display mode, and the
// presenting of drawn frames. Every surface of the scene takes its bit count
// from it.
#pragma once

#include <memory>
#include <vector>

#include "imaging/dibx.h"
#include "imaging/rect.h"
#include "media/display_mode_list.h"
#include "platform/display.h"

namespace kest {

// Where presented frames go: the window, or the headless capture.
class IScreenOutput {
 public:
  virtual ~IScreenOutput() = default;
  // The changed rectangles of the output (all of it when `rects` is null).
  virtual void PresentRects(const TCustomDIBX& output, const TRect* rects, int count) = 0;
  // Desktop full screen on or off; false when the switch failed.
  virtual bool SetFullScreen(bool on) = 0;
};

class TScreenManager {
 public:
  // `display` null: no display control at all (no modes, a 16-bit output).
  // `forced_bits` 15, 16 or 32 overrides the display's rule (tests); 0 follows it.
  TScreenManager(IDisplay* display, IScreenOutput* sink, int32_t min_width, int32_t min_height,
                 int32_t preferred_width, int32_t preferred_height, int32_t forced_bits = 0);

  int32_t ModeCount() const { return modes_.Count(); }
  // A mode outside the list reads as all zeros.
  TDisplayMode GetMode(int32_t index) const;
  // -1 windowed, else a mode index; a full-screen mode that cannot be set
  // falls back to windowed.
  void SetMode(int32_t index);
  // Frees the output; the next SetMode builds everything again.
  void Release();
  // Copies the changed parts of the output: the transition's rectangle while
  // one runs, else the front base screen's dirty rectangles; the whole output
  // once after every mode build.
  void Present(const std::vector<TRect>& dirty, const TRect& transition);

  TDIBX* Output() { return output_.get(); }
  int32_t OutputBitCount() const { return output_bits_; }
  bool UsesMemorySurfaces() const { return uses_memory_surfaces_; }
  bool IsFullScreen() const { return is_full_screen_; }
  int32_t ChosenMode() const { return modes_.ChosenMode(); }
  void SetChosenMode(int32_t index) { modes_.SetChosenMode(index); }
  int32_t CurrentMode() const { return current_mode_; }
  int32_t DesktopBitCount() const { return desktop_bits_; }
  int32_t DisplayBitCount() const { return display_bits_; }
  int32_t Builds() const { return builds_; }

 private:
  void BuildMode();
  void MakeOutput(int32_t bits);

  IDisplay* display_;
  IScreenOutput* sink_;
  int32_t min_width_, min_height_;
  int32_t forced_bits_;
  TDisplayModeList modes_;
  int32_t desktop_bits_ = 24;
  int32_t display_bits_ = 0;
  int32_t current_mode_ = -2;
  std::unique_ptr<TDIBX> output_;
  int32_t output_bits_ = 32;
  bool uses_memory_surfaces_ = false;
  bool is_full_screen_ = false;
  bool present_all_ = true;
  int32_t builds_ = 0;
};

}  // namespace kest
