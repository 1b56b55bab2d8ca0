// A whole game run without a window: a small game compiled from its sources
// into a private folder, and the player's parts wired over it as the player
// wires them, minus screen and sound. For the programs that play a game
// through the project: fuzz targets and benchmarks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/app_globals.h"
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
#include "storage/vr_file_manager.h"
#include "support/temp_files.h"
#include "text/font_pixel_manager.h"
#include "text/var_evaluator.h"

namespace kest::test {

// The game's sources by file name: game.ini and its pages.
using TGameSources = std::vector<std::pair<std::string, std::string>>;

// A game compiled once from its sources into a private folder that goes
// with the object. A game that does not compile ends the program.
class TBuiltGame {
 public:
  explicit TBuiltGame(const TGameSources& sources) : FGame(FFolder / "game") {
    const std::string source = FFolder / "source";
    std::filesystem::create_directory(source);
    for (const auto& [name, text] : sources) std::ofstream(source + "/" + name, std::ios::binary) << text;
    kestc::TDiagnostics errors;
    if (!kestc::BuildGame({source, FGame, false}, errors)) {
      std::fprintf(stderr, "the game does not compile:\n%s", errors.Text().c_str());
      std::abort();
    }
  }
  TBuiltGame(const TBuiltGame&) = delete;
  TBuiltGame& operator=(const TBuiltGame&) = delete;
  // The folder of the compiled game.
  const std::string& Folder() const { return FGame; }

 private:
  TTempDir FFolder;
  std::string FGame;
};

// Keeps what it is told and answers every question with OK.
struct TQuietUi final : IProjectUi {
  void ShowMessage(const std::string&, const std::string& text, TMessageIcon) override { Messages.push_back(text); }
  TPromptAnswer AskOkCancel(const std::string&, const std::string&) override { return TPromptAnswer::Ok; }
  void ShowStartupError(const std::string& text) override { Messages.push_back(text); }
  void SetTitle(const std::string&) override {}
  void ReportSaveFailure(const std::string& text) override { Messages.push_back(text); }
  std::vector<std::string> Messages;
};

// The player's parts over the compiled game in a folder, with a scene of the
// given size. Each world starts from fresh globals and no save file; the
// project has loaded the game, or the program ends saying why it did not.
// Saves go to the game's folder.
struct TGameWorld {
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

  TGameWorld(const std::string& gameFolder, int32_t sceneWidth, int32_t sceneHeight) {
    ResetAppGlobals();
    // An earlier world's save file would change how this game starts.
    std::filesystem::remove(gameFolder + "/save.dat");
    Files.Mount("");
    Files.SetBaseFolder(gameFolder);
    Scene.SetFonts(&Fonts);
    Vars.Hosts.Clock = &Scene.Clock();
    Scene.SetSceneSize(sceneWidth, sceneHeight);
    Scene.SetTextVariables(&TextVars, [this] { return Vars.TextDelay; });
    TProjectParts parts;
    parts.Files = &Files;
    parts.Vars = &Vars;
    parts.Ui = &Ui;
    parts.Scene = &Scene;
    parts.GameTables = &Tables;
    parts.MakeInterpreter = [this](TProject& project) { return MakeInterpreter(project); };
    TProjectOptions options;
    options.GameFolder = gameFolder;
    options.ProgramFolder = gameFolder;
    options.SavePlaces.DataHome = gameFolder + "/data";
    options.SavePlaces.IsWritable = [](const std::string&) { return true; };
    Project = std::make_unique<TProject>(std::move(parts), std::move(options));
    if (!Project->Loaded()) {
      for (const std::string& message : Ui.Messages)
        std::fprintf(stderr, "the game does not start: %s\n", message.c_str());
      std::abort();
    }
  }
  ~TGameWorld() {
    Scene.Story().SetPages(nullptr);
    Scene.SetEvaluator(nullptr);
    Project.reset();
    ResetAppGlobals();
  }
  TGameWorld(const TGameWorld&) = delete;
  TGameWorld& operator=(const TGameWorld&) = delete;

  std::unique_ptr<IProjectInterpreter> MakeInterpreter(TProject& project) {
    TCallManParts man;
    man.Files = &Files;
    man.Vars = &Vars;
    man.Funcs = &Funcs;
    man.Ui = &Ui;
    man.Events = &Scene.Events();
    man.Clock = &Scene.Clock();
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

  // Ticks of 15 ms in the frame loop's order, without input and drawing,
  // until the count is reached or the game ends.
  void Tick(int count) {
    for (int i = 0; i < count && !AppTerminating; ++i) {
      Scene.Clock().Advance(15);
      Project->RunTick();
      Scene.UpdateScene();
      Project->DoRequests();
    }
  }

  // What a game record is written from and loaded into.
  TGameRecordParts Parts() { return {&Scene, Project->Interpreter(), &Vars, &Tables}; }
};

}  // namespace kest::test
