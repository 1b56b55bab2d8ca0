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
  TScreenManager(IDisplay* display, IScreenOutput* sink, int32_t minWidth, int32_t minHeight, int32_t preferredWidth,
                 int32_t preferredHeight, int32_t forcedBits = 0);

  int32_t ModeCount() const { return FModes.Count(); }
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

  TDIBX* Output() { return FOutput.get(); }
  int32_t OutputBitCount() const { return FOutputBits; }
  bool UsesMemorySurfaces() const { return FUsesMemorySurfaces; }
  bool IsFullScreen() const { return FIsFullScreen; }
  int32_t ChosenMode() const { return FModes.ChosenMode(); }
  void SetChosenMode(int32_t index) { FModes.SetChosenMode(index); }
  int32_t CurrentMode() const { return FCurrentMode; }
  int32_t DesktopBitCount() const { return FDesktopBits; }
  int32_t DisplayBitCount() const { return FDisplayBits; }
  int32_t Builds() const { return FBuilds; }

 private:
  void BuildMode();
  void MakeOutput(int32_t bits);

  IDisplay* FDisplay;
  IScreenOutput* FSink;
  int32_t FMinWidth, FMinHeight;
  int32_t FForcedBits;
  TDisplayModeList FModes;
  int32_t FDesktopBits = 24;
  int32_t FDisplayBits = 0;
  int32_t FCurrentMode = -2;
  std::unique_ptr<TDIBX> FOutput;
  int32_t FOutputBits = 32;
  bool FUsesMemorySurfaces = false;
  bool FIsFullScreen = false;
  bool FPresentAll = true;
  int32_t FBuilds = 0;
};

}  // namespace kest
