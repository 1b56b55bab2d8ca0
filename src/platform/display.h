// The display the window lives on: its full-screen modes and the desktop's
// pixel format. The SDL back end asks the primary display; the fake answers
// from a list, so the mode rules run without a monitor.
#pragma once

#include <cstdint>
#include <vector>

namespace kest {

struct TDisplayMode {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Bits = 0;     // storage bits per pixel: 16 for 5-5-5 and 5-6-5, 32 for 24-bit colour
  int32_t Refresh = 0;  // Hz, 0 when unknown
  bool operator==(const TDisplayMode&) const = default;
};

struct TDisplayFormat {
  int32_t Bits = 32;
  uint32_t RedMask = 0x00FF0000;
  uint32_t GreenMask = 0x0000FF00;
  uint32_t BlueMask = 0x000000FF;
  bool Is555() const { return RedMask == 0x7C00 && GreenMask == 0x03E0 && BlueMask == 0x001F; }
};

class IDisplay {
 public:
  virtual ~IDisplay() = default;
  // In the order the system offers them, each refresh rate listed separately.
  virtual std::vector<TDisplayMode> Modes() = 0;
  // false when the desktop's format cannot be read.
  virtual bool DesktopFormat(TDisplayFormat& format) = 0;
};

class TFakeDisplay final : public IDisplay {
 public:
  std::vector<TDisplayMode> Modes() override { return modes; }
  bool DesktopFormat(TDisplayFormat& format) override {
    if (!readable) return false;
    format = desktop;
    return true;
  }
  std::vector<TDisplayMode> modes;
  TDisplayFormat desktop;
  bool readable = true;
};

}  // namespace kest
