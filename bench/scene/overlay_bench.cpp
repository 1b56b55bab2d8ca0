// An overlay movie of 640 x 360 over a 640 x 480 scene: every frame the
// pixels beneath are put back, kept again and the frame drawn over them.
// The yardstick is three memcpy calls of the same rows, the least any way
// of laying a window's picture over a scene it must not spoil can copy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "imaging/dibx.h"
#include "scene/kest_base_list.h"
#include "scene/scene_overlays.h"

namespace {

constexpr int32_t kW = 640, kH = 360;

class TFrameOverlay final : public kest::ISceneOverlay {
 public:
  TFrameOverlay() : FFrame(kW, kH, 32) { FFrame.FillRect(FFrame.Bounds(), 0x3366CC); }
  kest::TRect OverlayRect() override { return kest::MakeRect(0, 60, kW, kH); }
  void PaintOverlay(kest::TCustomDIBX& output, const kest::TRect& rect) override {
    output.Draw(rect.Left, rect.Top, FFrame, FFrame.Bounds(), kest::TBlit::None);
  }

 private:
  kest::TDIBX FFrame;
};

void BM_OverlayFrame(benchmark::State& state) {
  kest::TKestBaseList scene;
  scene.SetSceneSize(640, 480);
  TFrameOverlay overlay;
  scene.Overlays().Add(overlay);
  for (auto _ : state) {
    scene.DrawScene();
    benchmark::DoNotOptimize(scene.OutputDirtyRects());
    scene.ClearDirtyLists();
  }
  scene.Overlays().Remove(overlay);
  state.SetBytesProcessed(state.iterations() * int64_t{kW} * kH * 4);
}
BENCHMARK(BM_OverlayFrame);

void BM_ThreeCopies(benchmark::State& state) {
  const size_t row = size_t{kW} * 4;
  std::vector<uint8_t> output(row * 480, 1), beneath(row * kH), frame(row * kH, 2);
  for (auto _ : state) {
    for (int32_t y = 0; y < kH; ++y) std::memcpy(&output[(60 + y) * row], &beneath[y * row], row);
    for (int32_t y = 0; y < kH; ++y) std::memcpy(&beneath[y * row], &output[(60 + y) * row], row);
    for (int32_t y = 0; y < kH; ++y) std::memcpy(&output[(60 + y) * row], &frame[y * row], row);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kW} * kH * 4);
}
BENCHMARK(BM_ThreeCopies);

}  // namespace

BENCHMARK_MAIN();
