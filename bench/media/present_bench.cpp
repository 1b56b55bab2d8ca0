// Presenting a frame: the whole 800 x 600 output, and ten small changed
// rectangles, through the screen manager into a window (SDL's dummy video
// driver when no display is there), against a memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "media/screen_manager.h"
#include "platform/display.h"
#include "platform/sdl/sdl_window.h"
#include "shell/screen_part.h"

namespace {

constexpr int kW = 800, kH = 600;

struct TRig {
  std::unique_ptr<kest::TSdlWindow> window;
  std::unique_ptr<kest::TWindowScreenOutput> output;
  std::unique_ptr<kest::TScreenManager> screen;
  kest::TFakeDisplay display;

  TRig() {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string error;
    window = kest::TSdlWindow::Create(&error);
    if (!window) return;
    kest::TWindowLayout layout;
    layout.ClientWidth = layout.PanelWidth = kW;
    layout.ClientHeight = layout.PanelHeight = kH;
    layout.ToolbarVisible = false;
    window->SetLayout(layout);
    window->Show();
    output = std::make_unique<kest::TWindowScreenOutput>(*window);
    screen = std::make_unique<kest::TScreenManager>(&display, output.get(), kW, kH, kW, kH, 32);
    screen->Present({}, kest::TRect{});
  }
};

TRig& Rig() {
  static TRig rig;
  return rig;
}

std::vector<kest::TRect> SmallRects() {
  std::vector<kest::TRect> rects;
  for (int i = 0; i < 10; ++i) rects.push_back(kest::MakeRect(37 + i * 71, 23 + i * 53, 48, 32));
  return rects;
}

void BM_PresentFullFrame(benchmark::State& state) {
  TRig& rig = Rig();
  if (!rig.screen) return state.SkipWithError("no window");
  const std::vector<kest::TRect> all{kest::MakeRect(0, 0, kW, kH)};
  for (auto _ : state) rig.screen->Present(all, kest::TRect{});
  state.SetBytesProcessed(state.iterations() * kW * kH * 4);
}

void BM_PresentTenRects(benchmark::State& state) {
  TRig& rig = Rig();
  if (!rig.screen) return state.SkipWithError("no window");
  const std::vector<kest::TRect> rects = SmallRects();
  for (auto _ : state) rig.screen->Present(rects, kest::TRect{});
  state.SetBytesProcessed(state.iterations() * 10 * 48 * 32 * 4);
}

void BM_MemcpyFullFrame(benchmark::State& state) {
  std::vector<uint8_t> src(kW * kH * 4, 1), dst(kW * kH * 4);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), src.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kW * kH * 4);
}

void BM_MemcpyTenRects(benchmark::State& state) {
  std::vector<uint8_t> src(kW * kH * 4, 1), dst(kW * kH * 4);
  const std::vector<kest::TRect> rects = SmallRects();
  for (auto _ : state) {
    for (const kest::TRect& r : rects)
      for (int y = r.Top; y < r.Bottom; ++y)
        std::memcpy(dst.data() + (y * kW + r.Left) * 4, src.data() + (y * kW + r.Left) * 4, r.Width() * 4);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 10 * 48 * 32 * 4);
}

BENCHMARK(BM_PresentFullFrame);
BENCHMARK(BM_MemcpyFullFrame);
BENCHMARK(BM_PresentTenRects);
BENCHMARK(BM_MemcpyTenRects);

// Prints present / memcpy time ratios from one run of each pair.
void BM_Ratios(benchmark::State& state) {
  auto time_of = [](auto&& body, int n) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / n;
  };
  TRig& rig = Rig();
  if (!rig.screen) return state.SkipWithError("no window");
  const std::vector<kest::TRect> all{kest::MakeRect(0, 0, kW, kH)}, rects = SmallRects();
  std::vector<uint8_t> src(kW * kH * 4, 1), dst(kW * kH * 4);
  for (auto _ : state) {
    const double full = time_of([&] { rig.screen->Present(all, kest::TRect{}); }, 50);
    const double copy = time_of(
        [&] {
          std::memcpy(dst.data(), src.data(), src.size());
          benchmark::ClobberMemory();
        },
        50);
    const double small = time_of([&] { rig.screen->Present(rects, kest::TRect{}); }, 200);
    const double small_copy = time_of(
        [&] {
          for (const kest::TRect& r : rects)
            for (int y = r.Top; y < r.Bottom; ++y)
              std::memcpy(dst.data() + (y * kW + r.Left) * 4, src.data() + (y * kW + r.Left) * 4, r.Width() * 4);
          benchmark::ClobberMemory();
        },
        200);
    state.counters["full_present_over_memcpy"] = full / copy;
    state.counters["rects_present_over_memcpy"] = small / small_copy;
    std::printf("ratio present/memcpy: full frame %.2f, ten rectangles %.2f\n", full / copy, small / small_copy);
  }
}
BENCHMARK(BM_Ratios)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
