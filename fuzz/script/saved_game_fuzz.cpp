// Loading a saved game from any bytes, the way a player does it: the bytes
// are slot 1 of the save file of a small running game (nested boxes, a
// message window mid-reveal over a history, a script two calls deep,
// variables of every type and an array), and the project loads the slot.
// A load may fail; it must not crash, hang or allocate without bound. A
// failed load leaves the save file as it was, shows its box and puts the
// running game back as it was: the game's record written again must be the
// same bytes. A game that loads plays on for a few ticks.
//
// With KEST_SAVED_GAME_SEEDS=FOLDER set, the fuzzer first writes its seeds
// there: the record of the running game and a few damaged forms of it.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
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
#include "scene/kest_base_list.h"
#include "script/call_man.h"
#include "script/game_record.h"
#include "script/kept_status_parts.h"
#include "script/project.h"
#include "script/script_story_pages.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"
#include "storage/vr_file_manager.h"
#include "text/font_pixel_manager.h"
#include "text/var_evaluator.h"

namespace {

using namespace kest;
using TBytes = std::vector<uint8_t>;

// Ticks of 15 ms from the start to the moment the game is saved: the second
// text is being revealed and one.ksb waits in its loop.
constexpr int kTicksBeforeLoad = 12;
constexpr int kTicksAfterLoad = 3;

constexpr const char* kGameIni = "title = Kest\nsize = 320x240\nsave_to_disk = 0\n";

constexpr const char* kStartPage = R"(var int n = 0
var real r = 2.5
var flag f = TRUE
var string s = "セーブ"
var int grid = 0
calc SetArray(grid, 2, 3)
calc grid[1, 2] = 7
var string words = ""
calc SetArray(words, 3)
calc words[2] = "三"
var string got = ""
boxnew name="panel" left=10 top=150 width=120 height=60 color=$203040
boxnew name="inner" parent="panel" left=10 top=10 width=40 height=20 color=$C08040 onlbtndown="start.kst:deep"
mesnew name="mes" left=10 top=10 width=260 height=60 textdelay=256
text "mes" history: 前置きの画面。
wait 60
text "mes" history: 二つ目の画面は一文字ずつゆっくりと現れます。
call one(3) -> got
wait
label deep
calc n = 999
exit
)";

constexpr const char* kOnePage = R"(@result string
var int k = @ParamStr[0] local
var real half = 0.5 local
while k < 40
    calc k = k + 1
    calc n = n + 1
    calc r = r + half
    wait 30
calc @Result = "one" ++ IntToStr(k)
)";

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

void WriteBytes(const std::filesystem::path& path, const TBytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TBytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return TBytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The game compiled once into a private folder that goes when the program ends.
struct TGame {
  std::string Folder;
  std::string Game;
  TGame() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kest_fuzz_XXXXXX").string();
    Folder = mkdtemp(pattern.data());
    const std::filesystem::path source = std::filesystem::path(Folder) / "source";
    std::filesystem::create_directory(source);
    WriteText(source / "game.ini", kGameIni);
    WriteText(source / "start.kst", kStartPage);
    WriteText(source / "one.kst", kOnePage);
    kestc::TDiagnostics errors;
    Game = Folder + "/game";
    if (!kestc::BuildGame({source.string(), Game, false}, errors)) {
      std::fprintf(stderr, "saved_game: the game does not compile:\n%s", errors.Text().c_str());
      std::abort();
    }
  }
  ~TGame() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }
};

const std::string& GameFolder() {
  static const TGame game;
  return game.Game;
}

struct TQuietUi final : IProjectUi {
  void ShowMessage(const std::string&, const std::string& text, TMessageIcon) override { Messages.push_back(text); }
  TPromptAnswer AskOkCancel(const std::string&, const std::string&) override { return TPromptAnswer::Ok; }
  void ShowStartupError(const std::string& text) override { Messages.push_back(text); }
  void SetTitle(const std::string&) override {}
  void ReportSaveFailure(const std::string& text) override { Messages.push_back(text); }
  std::vector<std::string> Messages;
};

// The player's parts wired as the player wires them, minus screen and sound.
struct TWorld {
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

  TWorld() {
    ResetAppGlobals();
    // The last input's save file would change how the next game starts.
    std::filesystem::remove(GameFolder() + "/save.dat");
    Files.Mount("");
    Files.SetBaseFolder(GameFolder());
    Scene.SetFonts(&Fonts);
    Scene.SetSceneSize(320, 240);
    Scene.SetTextVariables(&TextVars, [this] { return Vars.TextDelay; });
    TProjectParts parts;
    parts.Files = &Files;
    parts.Vars = &Vars;
    parts.Ui = &Ui;
    parts.Scene = &Scene;
    parts.GameTables = &Tables;
    parts.MakeInterpreter = [this](TProject& project) { return MakeInterpreter(project); };
    TProjectOptions options;
    options.GameFolder = GameFolder();
    options.ProgramFolder = GameFolder();
    options.SavePlaces.DataHome = GameFolder() + "/data";
    options.SavePlaces.IsWritable = [](const std::string&) { return true; };
    Project = std::make_unique<TProject>(std::move(parts), std::move(options));
    if (!Project->Loaded()) {
      for (const std::string& message : Ui.Messages) std::fprintf(stderr, "saved_game: %s\n", message.c_str());
      std::abort();
    }
  }
  ~TWorld() {
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
    Scene.SetEvaluator([call = interpreter.get()](TKestParser& expression) {
      const TCustomParam* value = call->Evaluate(expression);
      return value ? value->GetAsInt() : 0;
    });
    return interpreter;
  }

  // The frame loop's order, without input and drawing.
  void Tick(int count) {
    for (int i = 0; i < count && !AppTerminating; ++i) {
      FrameDelta = 15;
      GameTime += 15;
      Project->RunTick();
      Scene.UpdateScene();
      Project->DoRequests();
    }
  }

  TBytes Record(const std::string& title = {}) {
    TByteStream out;
    WriteGameRecord(out, {&Scene, Project->Interpreter(), &Vars, &Tables}, {kSaveNewestVersion, title, {}, 0});
    return out.TakeBytes();
  }

  // A save file holding the bytes as slot 1; answers what was written.
  TBytes WriteSlot(std::span<const uint8_t> record) {
    TVrFileCollection archive;
    WriteExact(*archive.AddMemoryFile(std::string(TProject::kSlotPrefix) + "1")->Content, record.data(),
               static_cast<int64_t>(record.size()));
    TTpBigMemoryStream out;
    if (!archive.WriteArchive(out)) std::abort();
    const TBytes bytes(out.Data().begin(), out.Data().end());
    WriteBytes(Project->SaveDataPath(), bytes);
    return bytes;
  }
};

TBytes Cut(const TBytes& bytes, size_t size) {
  return TBytes(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size));
}

// The seeds: the running game's record, with a jump page and without, and
// records damaged in the ways a save file is: cut short, a version this
// player never wrote, a jump page that does not exist, and a variable count
// no file could hold after a scene and a script that read well.
void WriteSeeds(const std::string& folder) {
  TWorld world;
  world.Tick(kTicksBeforeLoad);
  const TBytes record = world.Record(Utf8ToCp932("一つ目"));
  TByteStream tail;
  world.Vars.SaveGameVars(tail);
  world.Tables.SaveStatusPart(tail);
  const size_t vars = record.size() - tail.Bytes().size();
  std::filesystem::create_directories(folder);
  const std::filesystem::path out(folder);
  WriteBytes(out / "whole", record);
  WriteBytes(out / "cut_half", Cut(record, record.size() / 2));
  WriteBytes(out / "cut_in_vars", Cut(record, vars + 6));
  WriteBytes(out / "cut_before_tables", Cut(record, record.size() - 4));
  TBytes old = record;
  old[0] = 106;
  WriteBytes(out / "too_old", old);
  TBytes newer = record;
  newer[0] = 141;
  WriteBytes(out / "too_new", newer);
  TBytes huge = record;
  huge[vars + 3] = 0x7F;
  WriteBytes(out / "huge_var_count", huge);
  for (const std::string page : {"one", "nowhere"}) {
    TByteStream jump;
    WriteGameRecord(jump, {&world.Scene, world.Project->Interpreter(), &world.Vars, &world.Tables},
                    {kSaveNewestVersion, "jump", page + ".ksb", 0});
    WriteBytes(out / ("jump_" + page), jump.TakeBytes());
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* folder = std::getenv("KEST_SAVED_GAME_SEEDS")) WriteSeeds(folder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TWorld world;
  world.Tick(kTicksBeforeLoad);
  const TBytes running = world.Record();
  const TBytes written = world.WriteSlot({data, size});
  const size_t shown = world.Ui.Messages.size();
  const bool loaded = world.Project->LoadGame(1);
  if (ReadBytes(world.Project->SaveDataPath()) != written) std::abort();
  if (loaded) {
    world.Tick(kTicksAfterLoad);
    return 0;
  }
  if (!AppTerminating || world.Ui.Messages.size() != shown + 1) std::abort();
  if (world.Record() != running) std::abort();
  return 0;
}
