// One frame of a busy scene: 200 boxes on an 800 x 600 base screen, a third
// of them blended, many nested under parents that cut them, some clipped.
// Measures the hit test, the update walk, a full redraw and a redraw of a
// tenth of the screen. The full redraw is set against pixman composing the
// same rectangles in the same order in the same run (the ratio is printed
// last; below 1 the scene is faster).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "scene/components/kest_box.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"

#ifdef KEST_BENCH_PIXMAN
#include <pixman.h>
#endif

namespace {

using namespace kest;

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr int kControls = 200;

struct TLayer {
  TRect Area;  // what the box covers on screen after its parents' cuts
  uint32_t Colour;
  int32_t Alpha;
};

struct TFixture {
  TFixture() {
    Scene.SetSceneSize(kWidth, kHeight);
    std::mt19937 random(11);
    std::vector<TKestBox*> boxes;
    for (int i = 0; i < kControls; ++i) {
      TKestBox& box = Scene.Create<TKestBox>();
      TKestControl* parent = boxes.empty() || random() % 3 == 0 ? static_cast<TKestControl*>(&Scene.FrontBase())
                                                                : boxes[random() % boxes.size()];
      box.SetParent(parent);
      const int32_t w = 40 + static_cast<int32_t>(random() % 300);
      const int32_t h = 30 + static_cast<int32_t>(random() % 220);
      box.SetBounds(static_cast<int32_t>(random() % 120) - 20, static_cast<int32_t>(random() % 100) - 20, w, h);
      box.SetColor(static_cast<int32_t>(random() & 0xFFFFFF));
      WriteProperty(box, 11, random() % 3 == 0 ? int32_t{128} : int32_t{255});
      if (random() % 5 == 0) {
        WriteProperty(box, PR_CLIPWIDTH, w / 2);
        WriteProperty(box, PR_CLIPHEIGHT, h);
      }
      WriteProperty(box, PR_ONMOUSEMOVE, std::string("move.src"));
      boxes.push_back(&box);
    }
    Collect(Scene.FrontBase(), Scene.FrontBase().BoundsRect());
  }
  // The layers in drawing order, each cut by its ancestors and its clip.
  void Collect(TKestControl& control, const TRect& cut) {
    for (TKestControl* child : control.Children()) {
      TRect area = IntersectRect(child->BoundsRect(), cut);
      const TRect clip = child->ClipRectAbs();
      if (!clip.IsEmpty()) area = IntersectRect(area, clip);
      if (area.IsEmpty()) continue;
      Layers.push_back({area, static_cast<uint32_t>(child->Color()), std::get<int32_t>(child->GetProp(11))});
      Collect(*child, IntersectRect(child->BoundsRect(), cut));
    }
  }
  TKestBaseList Scene;
  std::vector<TLayer> Layers;
};

TFixture& Fixture() {
  static TFixture fixture;
  return fixture;
}

void FullRedraw(TFixture& f) {
  f.Scene.FrontBase().InvalidateAll();
  f.Scene.DrawScene();
  f.Scene.ClearDirtyLists();
}

void BM_HitTest(benchmark::State& state) {
  TFixture& f = Fixture();
  std::mt19937 random(3);
  for (auto _ : state) {
    const auto x = static_cast<int32_t>(random() % kWidth);
    const auto y = static_cast<int32_t>(random() % kHeight);
    benchmark::DoNotOptimize(f.Scene.FrontBase().HitTest(x, y, kHitHover));
  }
}

void BM_UpdateWalk(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state) f.Scene.UpdateScene();
}

void BM_FullRedraw(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state) FullRedraw(f);
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}

// A tenth of the screen changes: a 240 x 200 area.
void BM_TenthRedraw(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state) {
    f.Scene.FrontBase().AddDirtyRect(MakeRect(300, 200, 240, 200));
    f.Scene.DrawScene();
    f.Scene.ClearDirtyLists();
  }
}

#ifdef KEST_BENCH_PIXMAN
struct TPixmanScene {
  explicit TPixmanScene(const std::vector<TLayer>& layers) : Pixels(size_t{kWidth} * kHeight) {
    Dest = pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, Pixels.data(), kWidth * 4);
    for (const TLayer& layer : layers) {
      // Colours are 0x00BBGGRR; pixman's are premultiplied 16-bit channels.
      const uint32_t a = static_cast<uint32_t>(std::min(layer.Alpha, 255));
      auto channel = [&](int shift) { return static_cast<uint16_t>(((layer.Colour >> shift) & 0xFF) * a / 255 * 257); };
      const pixman_color_t c{channel(0), channel(8), channel(16), static_cast<uint16_t>(a * 257)};
      Solids.push_back(pixman_image_create_solid_fill(&c));
    }
  }
  ~TPixmanScene() {
    for (pixman_image_t* s : Solids) pixman_image_unref(s);
    pixman_image_unref(Dest);
  }
  void Compose(const std::vector<TLayer>& layers) {
    const pixman_color_t black{0, 0, 0, 0xFFFF};
    const pixman_rectangle16_t all{0, 0, kWidth, kHeight};
    pixman_image_fill_rectangles(PIXMAN_OP_SRC, Dest, &black, 1, &all);
    for (size_t i = 0; i < layers.size(); ++i) {
      const TRect& r = layers[i].Area;
      pixman_image_composite32(layers[i].Alpha >= 255 ? PIXMAN_OP_SRC : PIXMAN_OP_OVER, Solids[i], nullptr, Dest, 0, 0,
                               0, 0, r.Left, r.Top, r.Width(), r.Height());
    }
  }
  std::vector<uint32_t> Pixels;
  pixman_image_t* Dest;
  std::vector<pixman_image_t*> Solids;
};

void BM_PixmanCompose(benchmark::State& state) {
  TFixture& f = Fixture();
  TPixmanScene pixman(f.Layers);
  for (auto _ : state) pixman.Compose(f.Layers);
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}

void BM_Ratio(benchmark::State& state) {
  TFixture& f = Fixture();
  TPixmanScene pixman(f.Layers);
  using TClock = std::chrono::steady_clock;
  double scene = 0;
  double peer = 0;
  for (auto _ : state) {
    for (int round = 0; round < 50; ++round) {
      auto t0 = TClock::now();
      FullRedraw(f);
      auto t1 = TClock::now();
      pixman.Compose(f.Layers);
      auto t2 = TClock::now();
      scene += std::chrono::duration<double>(t1 - t0).count();
      peer += std::chrono::duration<double>(t2 - t1).count();
    }
  }
  state.counters["ratio"] = scene / peer;
  std::printf("%zu layers; ratio full redraw / pixman composition = %.3f\n", f.Layers.size(), scene / peer);
}

BENCHMARK(BM_PixmanCompose)->Unit(benchmark::kMicrosecond);
#endif

BENCHMARK(BM_HitTest);
BENCHMARK(BM_UpdateWalk)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TenthRedraw)->Unit(benchmark::kMicrosecond);
#ifdef KEST_BENCH_PIXMAN
BENCHMARK(BM_Ratio)->Iterations(1)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
