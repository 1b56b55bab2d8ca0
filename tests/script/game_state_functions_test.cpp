// The game-state functions through compiled expressions: the saved games of
// a real project, the scene's histories and the screen manager's modes.
#include "script/game_state_host.h"

#include <gtest/gtest.h>

#include "common/app_globals.h"
#include "language/expression_fixture.h"
#include "media/screen_manager.h"
#include "scene/kest_base_list.h"
#include "script/project.h"
#include "script/project_fixture.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"
#include "storage/vr_file_manager.h"
#include "support/temp_files.h"

namespace kest::test {
namespace {

class TNoOutput final : public IScreenOutput {
 public:
  void PresentRects(const TCustomDIBX&, const TRect*, int) override {}
  bool SetFullScreen(bool) override { return true; }
};

TBytes SaveFile(const std::vector<std::pair<std::string, std::string>>& slots) {
  TVrFileCollection archive;
  for (const auto& [name, title] : slots) {
    const TBytes record = TRecordBytes().Int(140).Str(title).Bytes();
    WriteExact(*archive.AddMemoryFile(name)->Content, record.data(), static_cast<int64_t>(record.size()));
  }
  TTpBigMemoryStream out;
  archive.WriteArchive(out);
  return TBytes(out.Data().begin(), out.Data().end());
}

class GameStateFunctionsTest : public ExpressionTest {
 protected:
  void SetUp() override {
    ResetAppGlobals();
    Funcs.Hosts.GameState = &Host;
  }
  void TearDown() override { ResetAppGlobals(); }

  std::unique_ptr<TProject> Open(const std::vector<std::pair<std::string, std::string>>& slots) {
    Files.Mount("");
    Files.SetBaseFolder(Game.Path());
    WriteFile(Game / "kest.kpb", Settings("start.ksb", ""));
    WriteFile(Game / "start.ksb", {0});
    WriteFile(Game / "save.dat", SaveFile(slots));
    TProjectParts parts;
    parts.Files = &Files;
    parts.Vars = &Store;
    parts.Ui = &Ui;
    TProjectOptions options;
    options.GameFolder = Game.Path();
    options.ProgramFolder = Game.Path();
    options.SavePlaces.DataHome = Game / "data";
    return std::make_unique<TProject>(std::move(parts), std::move(options));
  }

  TTempDir Game;
  TVrFileManager Files;
  TAnsweringUi Ui;
  TGameStateHost Host;
};

TEST_F(GameStateFunctionsTest, SavedGamesInTheOrderOfTheSaveList) {
  auto project = Open({{"GAMESAVEDATA5", "five"}, {"GAMESAVEDATA2", "two"}});
  Host.SetProject(project.get());
  Var("c", PT_STR);
  Var("s", PT_INT);
  EXPECT_EQ(Eval("ListSaveCaption(c, s)"), "2");
  EXPECT_EQ(Find("c")->GetStr(0), "five");
  EXPECT_EQ(Find("c")->GetStr(1), "two");
  EXPECT_EQ(Find("s")->GetInt(0), 5);
  EXPECT_EQ(Find("s")->GetInt(1), 2);
  EXPECT_EQ(Eval("ListSaveCaption()"), "2");
  EXPECT_EQ(Eval("GetSaveCaption(2)"), "two");
  EXPECT_EQ(Eval("GetSaveCaption(3)"), "");
  Host.SetProject(nullptr);
  EXPECT_EQ(Eval("ListSaveCaption(c, s)"), "0");
  EXPECT_TRUE(Find("c")->IsDimensionless());
  EXPECT_EQ(Find("c")->GetAsStr(), "");
}

TEST_F(GameStateFunctionsTest, NamedHistoriesAndDisplayModes) {
  TKestBaseList scene;
  scene.Story().History.FindOrCreate("log");
  Host.SetScene(&scene);
  EXPECT_EQ(Eval("GetHistoryCount(\"log\")"), "0");
  EXPECT_EQ(Eval("GetHistoryCount(\"Log\")"), "-1") << "history names keep their case";
  EXPECT_EQ(Eval("SetHistoryMaxCount(\"log\", 30)"), "TRUE");
  EXPECT_EQ(Eval("GetHistoryMaxCount(\"log\")"), "30");
  EXPECT_EQ(Eval("SetHistoryMaxCount(\"none\", 30)"), "FALSE");
  EXPECT_EQ(Eval("GetHistoryMaxCount(\"none\")"), "-1");

  TFakeDisplay display;
  display.modes = {{640, 480, 32, 60}, {800, 600, 16, 75}};
  TNoOutput output;
  TScreenManager screen(&display, &output, 640, 480, 640, 480);
  Host.SetScreen(&screen);
  for (const char* name : {"w", "h", "b", "r"}) Var(name, PT_INT).SetAsInt(-7);
  EXPECT_EQ(Eval("GetDisplayMode(1, w, h, b, r)"), "TRUE");
  EXPECT_EQ(Eval("w ++ \"x\" ++ h ++ \"x\" ++ b ++ \"@\" ++ r"), "800x600x16@75");
  EXPECT_EQ(Eval("GetDisplayMode(2, w, h, b, r)"), "FALSE");
  EXPECT_EQ(Eval("GetDisplayMode(0 - 1, w, h, b, r)"), "FALSE");
  EXPECT_EQ(Find("w")->GetAsInt(), 800);
}

TEST_F(GameStateFunctionsTest, WithoutTheGameNothingIsFound) {
  Funcs.Hosts.GameState = nullptr;
  Var("w", PT_INT).SetAsInt(5);
  EXPECT_EQ(Eval("GetSaveCaption(1)"), "");
  EXPECT_EQ(Eval("ListSaveCaption()"), "0");
  EXPECT_EQ(Eval("GetHistoryCount(\"\")"), "-1");
  EXPECT_EQ(Eval("SetHistoryMaxCount(\"\", 3)"), "FALSE");
  EXPECT_EQ(Eval("GetDisplayMode(0, w, w, w, w)"), "FALSE");
  EXPECT_EQ(Find("w")->GetAsInt(), 5);
}

}  // namespace
}  // namespace kest::test
