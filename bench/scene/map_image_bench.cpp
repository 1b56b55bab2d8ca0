// A hovered 640 x 480 map image whose lit region is a 400-point polygon:
// the hover picture changes frame on every 15 ms tick, so every tick cuts
// a mask for the new frame and draws the region. Also the tick the mouse
// enters the region, which scan-converts it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "common/app_globals.h"
#include "common/stream.h"
#include "imaging/pexa_collection.h"
#include "imaging/pexa_frame_list.h"
#include "scene/components/kest_map_image.h"
#include "scene/components/map_file.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"

namespace {

using namespace kest;

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;
constexpr int kPoints = 400;

class TMemoryPictures : public IPictureFiles {
 public:
  bool Exists(const std::string& name) override { return Files.contains(name); }
  std::vector<uint8_t> Read(const std::string& name) override { return Files.at(name); }
  std::map<std::string, std::vector<uint8_t>> Files;
};

std::vector<uint8_t> Picture(const std::vector<uint32_t>& colours) {
  TPexaFrameList list;
  for (uint32_t colour : colours) {
    TPexaFrame& frame = list.AddFrame();
    frame.Delay = 15;
    frame.Composite.SetSize(kWidth, kHeight, 24);
    frame.Composite.Fill(colour);
  }
  TByteStream out;
  SavePexa(list, out, TPexaWriteOptions());
  return out.TakeBytes();
}

// A star of 200 spikes around the middle of the picture.
std::vector<uint8_t> StarMap() {
  std::vector<TMapRegion> map(1);
  map[0].Name = "star";
  map[0].Shape = TMapRegion::Polygon;
  for (int i = 0; i < kPoints; ++i) {
    const double angle = 2 * std::numbers::pi * i / kPoints;
    const double radius = i % 2 == 0 ? 230 : 120;
    map[0].Points.emplace_back(static_cast<int32_t>(320 + radius * std::cos(angle)),
                               static_cast<int32_t>(240 + radius * std::sin(angle)));
  }
  return WriteMapFile(map);
}

struct TFixture {
  TFixture() : Cache(&Files, 0) {
    Files.Files["base.pxa"] = Picture({0x203040});
    Files.Files["glow.pxa"] = Picture({0xFFFF00, 0x00FFFF});
    Files.Files["star.map"] = StarMap();
    Scene.SetPictures(&Cache);
    Scene.SetSceneSize(kWidth, kHeight);
    TKestObject& map = *Scene.CreateByKind(LT_MAPIMG);
    map.AsControl()->SetParent(&Scene.FrontBase());
    WriteProperty(map, PR_SOURCE, std::string("base.pxa"));
    WriteProperty(map, PR_HOVERSOURCE, std::string("glow.pxa"));
    WriteProperty(map, PR_MAPSOURCE, std::string("star.map"));
    Map = static_cast<TKestMapImage*>(map.AsControl());
    Scene.Clock().FrameDelta = 15;
    Move(320, 240);
    Tick();
  }
  void Move(int32_t x, int32_t y) {
    Scene.Input().MouseMove(x, y);
    Scene.ProcessInput();
  }
  void Tick() {
    Scene.ProcessInput();
    Scene.UpdateScene();
    Scene.DrawScene();
    Scene.ClearDirtyLists();
  }
  TMemoryPictures Files;
  TPexaCollection Cache;
  TKestBaseList Scene;
  TKestMapImage* Map = nullptr;
};

void BM_HoveredTick(benchmark::State& state) {
  TFixture f;
  if (f.Map->Region() != 0) state.SkipWithError("the mouse is not in the region");
  for (auto _ : state) f.Tick();
}

void BM_EnterRegion(benchmark::State& state) {
  TFixture f;
  for (auto _ : state) {
    f.Move(2, 2);
    f.Tick();
    f.Move(320, 240);
    f.Tick();
  }
}

BENCHMARK(BM_HoveredTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnterRegion)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
