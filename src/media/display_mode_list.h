// The full-screen display modes that can show the game screen, and the one
// chosen for full-screen play.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/display.h"

namespace kest {

class TDisplayModeList {
 public:
  // Keeps the offered modes at least min × min_height with more than 15 bits,
  // in the order offered, and chooses among them: the first mode of the
  // preferred size at the desktop's depth with the lowest refresh rate; else
  // the first of the preferred size; else the first acceptable mode.
  void Build(const std::vector<TDisplayMode>& offered, int32_t minWidth, int32_t minHeight, int32_t preferredWidth,
             int32_t preferredHeight, int32_t desktopBits);

  const std::vector<TDisplayMode>& Modes() const { return FModes; }
  int32_t Count() const { return static_cast<int32_t>(FModes.size()); }
  // -1 when no mode can show the game.
  int32_t ChosenMode() const { return FChosen; }
  void SetChosenMode(int32_t index) { FChosen = index; }

 private:
  bool Replaces(const TDisplayMode& mode, int32_t preferredWidth, int32_t preferredHeight, int32_t desktopBits) const;

  std::vector<TDisplayMode> FModes;
  int32_t FChosen = -1;
};

// The bit count of the output surface for a display format: 15 for 5-5-5,
// 32 above 16 bits, else 16 (windowed); in full screen 15 also for fewer
// than 16 bits.
int32_t OutputBitsForDisplay(const TDisplayFormat& format, bool fullScreen);

}  // namespace kest
