// Saving and loading a game of a busy scene: 500 components (boxes, picture
// controls without pictures and message windows holding text, nested under
// one another), a history of 200 screenfuls, a script waiting in a call and
// variables of every type with an array. Times the record written into
// memory, the record loaded back into the running parts, and the project's
// whole save and load of a slot (the record, its compression and the save
// file replaced on disk; the snapshot a load takes first and the
// decompression). Each should fit in one tick of 15 ms.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "common/save_versions.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "scene/component_kinds.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"
#include "script/game_record.h"
#include "script/project.h"
#include "support/game_world.h"

namespace {

using namespace kest;

constexpr int kComponents = 500;
constexpr int kHistoryEntries = 200;

constexpr const char* kStartPage = R"(var int n = 0
var real r = 2.5
var flag f = TRUE
var string s = "セーブ"
var int grid = 0
calc SetArray(grid, 20, 30)
calc grid[1, 2] = 7
var string got = ""
call one() -> got
wait
)";

constexpr const char* kOnePage = R"(@result string
var int k = 0 local
while k < 1000
    calc k = k + 1
    wait 30
calc @Result = "done"
)";

// The game compiled once; its folder goes when the program ends.
const std::string& GameFolder() {
  static const test::TBuiltGame game(
      {{"game.ini", "title = Kest\nsize = 640x480\n"}, {"start.kst", kStartPage}, {"one.kst", kOnePage}});
  return game.Folder();
}

// The game a few ticks in, with the scene and the history filled.
struct TFixture : test::TGameWorld {
  TFixture() : TGameWorld(GameFolder(), 640, 480) {
    Tick(3);
    BuildScene();
    BuildHistory();
  }

  // Every tenth component a message window with two screenfuls of text,
  // every third a picture control, the rest boxes; two in three sit inside
  // an earlier one.
  void BuildScene() {
    std::mt19937 random(7);
    std::vector<TKestControl*> controls;
    const std::string text = Utf8ToCp932("夏の終わり、故郷の駅に降りた。<BR>「ただいま」<BR>夕焼けがゆっくりと沈む。");
    for (int i = 0; i < kComponents; ++i) {
      const uint8_t kind = i % 10 == 0 ? LT_MES : i % 3 == 0 ? LT_IMAGES : LT_BOX;
      auto& control = static_cast<TKestControl&>(*Scene.CreateByKind(kind));
      Scene.SetName(control, "c" + std::to_string(i));
      TKestControl* parent = controls.empty() || random() % 3 == 0 ? static_cast<TKestControl*>(&Scene.FrontBase())
                                                                   : controls[random() % controls.size()];
      control.SetParent(parent);
      control.SetBounds(static_cast<int32_t>(random() % 200), static_cast<int32_t>(random() % 200),
                        40 + static_cast<int32_t>(random() % 200), 30 + static_cast<int32_t>(random() % 100));
      control.SetColor(static_cast<int32_t>(random() & 0xFFFFFF));
      if (kind == LT_MES) WriteProperty(control, PR_TEXT, text);
      controls.push_back(&control);
    }
  }

  void BuildHistory() {
    TKestHistoryFormatManager& history = Scene.Story().History;
    const THistWindow window{"c0", 260, 60};
    for (int i = 0; i < kHistoryEntries; ++i) {
      history.AddPending(window, i % 7 == 0 ? "start.ksb" : "one.ksb", "", i % 3, 20, 0, i % 5);
      history.Commit(window.Name);
    }
  }
};

TFixture& Fixture() {
  static TFixture fixture;
  return fixture;
}

// Skips the benchmark, saying what the player would have shown.
void Fail(benchmark::State& state, TFixture& f, const char* what) {
  for (const std::string& message : f.Ui.Messages) std::fprintf(stderr, "%s: %s\n", what, message.c_str());
  f.Ui.Messages.clear();
  state.SkipWithError(what);
}

void BM_WriteGameRecord(benchmark::State& state) {
  TFixture& f = Fixture();
  size_t size = 0;
  for (auto _ : state) {
    TByteStream out;
    WriteGameRecord(out, f.Parts(), {kSaveNewestVersion, "bench", {}, 0});
    size = out.Bytes().size();
    benchmark::DoNotOptimize(out.Bytes().data());
  }
  state.counters["record_KiB"] = static_cast<double>(size) / 1024;
}

void BM_LoadGameRecord(benchmark::State& state) {
  TFixture& f = Fixture();
  TByteStream saved;
  WriteGameRecord(saved, f.Parts(), {kSaveNewestVersion, "bench", {}, 0});
  for (auto _ : state) {
    TByteStream in{std::span<const uint8_t>(saved.Bytes())};
    LoadGameRecord(in, f.Parts(), ReadGameRecordHead(in));
  }
  state.counters["objects"] = f.Scene.Count();
  state.counters["history"] = f.Scene.Story().History.Default().History->Count();
}

void BM_ProjectSaveGame(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state)
    if (!f.Project->SaveGame(1, "bench", {}, 0)) Fail(state, f, "the game was not saved");
  state.counters["file_KiB"] = static_cast<double>(std::filesystem::file_size(f.Project->SaveDataPath())) / 1024;
}

void BM_ProjectLoadGame(benchmark::State& state) {
  TFixture& f = Fixture();
  f.Project->SaveGame(1, "bench", {}, 0);
  for (auto _ : state)
    if (!f.Project->LoadGame(1)) Fail(state, f, "the game did not load");
}

BENCHMARK(BM_WriteGameRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadGameRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectSaveGame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectLoadGame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
