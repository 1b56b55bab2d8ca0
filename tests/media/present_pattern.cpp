// Shows a known pattern in a real window for a while, and writes the RGB
// bytes a screenshot of its panel must hold. Used under Xvfb by
// present_pattern_test.sh.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/dibx.h"
#include "media/screen_manager.h"
#include "platform/clock.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_window.h"
#include "shell/screen_part.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;

// Channel values every 15- and 16-bit format shows exactly: 0 or full.
uint32_t PatternColour(int x, int y, int bits) {
  if (bits != 32) {
    const int bar = (x / 40) & 7;
    const bool grid = (x % 40 == 0) || (y % 30 == 0);
    const int c = grid ? 7 - bar : bar;
    return ((c & 1) ? 0xFF : 0) | ((c & 2) ? 0xFF00 : 0) | ((c & 4) ? 0xFF0000 : 0);
  }
  return static_cast<uint32_t>((x * 3) & 0xFF) | static_cast<uint32_t>((y * 5) & 0xFF) << 8 |
         static_cast<uint32_t>((x ^ y) & 0xFF) << 16;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: present_pattern BITS EXPECTED.rgb SECONDS\n");
    return 2;
  }
  const int bits = std::atoi(argv[1]);
  std::string error;
  auto window = kest::TSdlWindow::Create(&error);
  if (!window) {
    std::fprintf(stderr, "present_pattern: %s\n", error.c_str());
    return 1;
  }
  window->SetTitle("present_pattern");
  kest::TWindowLayout layout;
  layout.ClientWidth = layout.PanelWidth = kWidth;
  layout.ClientHeight = layout.PanelHeight = kHeight;
  layout.ToolbarVisible = false;
  window->SetLayout(layout);
  window->Show();
  kest::TSdlDisplay display;
  kest::TWindowScreenOutput output(*window);
  kest::TScreenManager screen(&display, &output, kWidth, kHeight, kWidth, kHeight, bits);
  kest::TDIBX& surface = *screen.Output();
  std::vector<uint8_t> expected;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t colour = PatternColour(x, y, bits);  // 0x00BBGGRR
      surface.SetPixel(x, y, surface.ColorToPixel(colour));
      expected.push_back(colour & 0xFF);
      expected.push_back((colour >> 8) & 0xFF);
      expected.push_back((colour >> 16) & 0xFF);
    }
  }
  std::ofstream(argv[2], std::ios::binary)
      .write(reinterpret_cast<const char*>(expected.data()), static_cast<std::streamsize>(expected.size()));
  kest::TSteadyClock clock;
  const uint32_t end = clock.NowMs() + static_cast<uint32_t>(std::atof(argv[3]) * 1000);
  std::vector<kest::TInputEvent> events;
  while (static_cast<int32_t>(end - clock.NowMs()) > 0) {
    screen.Present({}, kest::TRect{});
    window->Present({surface.ScanLine(0), kWidth, kHeight, surface.LineStep(), surface.BitCount()}, nullptr, 0);
    window->WaitEvents(30, events);
    for (const kest::TInputEvent& e : events)
      if (e.Type == kest::TInputEvent::TType::CloseRequest) return 0;
    events.clear();
  }
  return 0;
}
