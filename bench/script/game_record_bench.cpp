// Saving and loading a game of a busy scene: 500 components (boxes, picture
// controls without pictures and message windows holding text, nested under
// one another), a history of 200 screenfuls, a script waiting in a call and
// variables of every type with an array. Times the record written into
// memory, the record loaded back into the running parts, and the project's
// whole save and load of a slot (the record, its compression and the save
// file replaced on disk; the snapshot a load takes first and the
// decompression). Each should fit in one tick of 15 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/app_globals.h"
#include "common/save_versions.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "kestc/game_builder.h"
#include "language/param_collection.h"
#include "language/sys_func_man.h"
#include "platform/font_backend.h"
#include "scene/component_kinds.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"
#include "script/call_man.h"
#include "script/game_record.h"
#include "script/kept_status_parts.h"
#include "script/project.h"
#include "script/script_story_pages.h"
#include "storage/vr_file_manager.h"
#include "text/font_pixel_manager.h"
#include "text/var_evaluator.h"

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

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The game compiled into a private folder that goes with the fixture.
struct TGameFolder {
  std::string Folder;
  TGameFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kest_bench_XXXXXX").string();
    Folder = mkdtemp(pattern.data());
    const std::filesystem::path source = std::filesystem::path(Folder) / "source";
    std::filesystem::create_directory(source);
    WriteText(source / "game.ini", "title = Kest\nsize = 640x480\n");
    WriteText(source / "start.kst", kStartPage);
    WriteText(source / "one.kst", kOnePage);
    kestc::TDiagnostics errors;
    if (!kestc::BuildGame({source.string(), Game(), false}, errors)) {
      std::fprintf(stderr, "game_record: the game does not compile:\n%s", errors.Text().c_str());
      std::abort();
    }
  }
  ~TGameFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }
  std::string Game() const { return Folder + "/game"; }
};

struct TQuietUi final : IProjectUi {
  void ShowMessage(const std::string&, const std::string&, TMessageIcon) override {}
  TPromptAnswer AskOkCancel(const std::string&, const std::string&) override { return TPromptAnswer::Ok; }
  void ShowStartupError(const std::string&) override {}
  void SetTitle(const std::string&) override {}
  void ReportSaveFailure(const std::string& text) override { std::fprintf(stderr, "save failed: %s\n", text.c_str()); }
};

// The player's parts wired as the player wires them, minus screen and sound.
struct TFixture {
  TGameFolder Folder;
  TVrFileManager Files{NoDiscs()};
  TParamCollection Vars;
  TSysFuncMan Funcs;
  TFakeFontBackend Backend;
  TFontPixelManager Fonts{Backend};
  TStoreVarEvaluator TextVars{Vars, Funcs};
  TKestBaseList Scene;
  TKeptStatusTables Tables;
  TQuietUi Ui;
  std::unique_ptr<TScriptStoryPages> Pages;
  std::unique_ptr<TProject> Project;

  static TVrFileManager::TOptions NoDiscs() {
    TVrFileManager::TOptions options;
    options.MountTable = "/nonexistent";
    return options;
  }

  TFixture() {
    Files.Mount("");
    Files.SetBaseFolder(Folder.Game());
    Scene.SetFonts(&Fonts);
    Scene.SetSceneSize(640, 480);
    Scene.SetTextVariables(&TextVars, [this] { return Vars.TextDelay; });
    TProjectParts parts;
    parts.Files = &Files;
    parts.Vars = &Vars;
    parts.Ui = &Ui;
    parts.Scene = &Scene;
    parts.GameTables = &Tables;
    parts.MakeInterpreter = [this](TProject& project) { return MakeInterpreter(project); };
    TProjectOptions options;
    options.GameFolder = Folder.Game();
    options.ProgramFolder = Folder.Game();
    options.SavePlaces.IsWritable = [](const std::string&) { return true; };
    Project = std::make_unique<TProject>(std::move(parts), std::move(options));
    if (!Project->Loaded()) std::abort();
    for (int i = 0; i < 3; ++i) {
      FrameDelta = 15;
      GameTime += 15;
      Project->RunTick();
    }
    BuildScene();
    BuildHistory();
  }
  ~TFixture() {
    Scene.Story().SetPages(nullptr);
    Scene.SetEvaluator(nullptr);
    Project.reset();
    ResetAppGlobals();
  }

  std::unique_ptr<IProjectInterpreter> MakeInterpreter(TProject& project) {
    TCallManParts man;
    man.Files = &Files;
    man.Vars = &Vars;
    man.Funcs = &Funcs;
    man.Ui = &Ui;
    man.Events = &Scene.Events();
    man.FindSender = [this](const std::string& name) -> TObjectHandle {
      TKestObject* object = Scene.FindObject(name);
      return object ? object->Life() : nullptr;
    };
    man.Hosts.Scene = &Scene;
    man.Hosts.Saves = &project;
    auto interpreter = std::make_unique<TCallMan>(std::move(man));
    Pages = std::make_unique<TScriptStoryPages>(*interpreter, Files);
    Scene.Story().SetPages(Pages.get());
    return interpreter;
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

  TGameRecordParts Parts() { return {&Scene, Project->Interpreter(), &Vars, &Tables}; }
};

TFixture& Fixture() {
  static TFixture fixture;
  return fixture;
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
    if (!f.Project->SaveGame(1, "bench", {}, 0)) state.SkipWithError("the game was not saved");
  state.counters["file_KiB"] = static_cast<double>(std::filesystem::file_size(f.Project->SaveDataPath())) / 1024;
}

void BM_ProjectLoadGame(benchmark::State& state) {
  TFixture& f = Fixture();
  f.Project->SaveGame(1, "bench", {}, 0);
  for (auto _ : state)
    if (!f.Project->LoadGame(1)) state.SkipWithError("the game did not load");
}

BENCHMARK(BM_WriteGameRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadGameRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectSaveGame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectLoadGame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
