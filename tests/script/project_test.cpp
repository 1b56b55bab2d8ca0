#include "script/project.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "language/param_collection.h"
#include "script/atomic_file.h"
#include "script/project_fixture.h"
#include "script/script_test_util.h"
#include "script/status_record.h"
#include "storage/big_memory_stream.h"
#include "storage/install_record.h"
#include "storage/vr_file_collection.h"
#include "storage/vr_file_manager.h"

namespace kest {
namespace {

using test::ReadFile;
using test::Settings;
using test::TAnsweringUi;
using test::TBytes;
using test::TRecordBytes;
using test::TTempDir;
using test::WriteFile;

class TRecordingInterpreter final : public IProjectInterpreter {
 public:
  explicit TRecordingInterpreter(std::vector<std::string>& log) : FLog(log) {}
  void LoadStartPage(const std::string& page) override { FLog.push_back("start " + page); }
  void RunExitPage(const std::string& page) override {
    FLog.push_back("exit " + page + (AppTerminating ? " terminating" : " running"));
  }
  void RunTick() override { FLog.push_back("tick"); }
  void SaveState(TStream&) override {}
  void LoadState(TStream&, int32_t) override {}
  void EnterJumpPage(const std::string&, int32_t) override {}

 private:
  std::vector<std::string>& FLog;
};

TBytes Archive(const std::vector<std::pair<std::string, TBytes>>& entries) {
  TVrFileCollection archive;
  for (const auto& [name, bytes] : entries)
    WriteExact(*archive.AddMemoryFile(name)->Content, bytes.data(), static_cast<int64_t>(bytes.size()));
  TTpBigMemoryStream out;
  archive.WriteArchive(out);
  return TBytes(out.Data().begin(), out.Data().end());
}

// A status record holding the status variable Clear = 3.
TBytes StatusWithClear() {
  TRecordBytes b;
  b.Raw("Status103").Int(1).Byte(PT_INT).Str("Clear").Int(0).Int(1).Int(3).Byte(1).Byte(0).Int(-1).Byte(0);
  b.Int(0).Str("").Int(0).Int(0).Str("").Byte(0).Int(100).Int(0);
  return b.Bytes();
}

class ProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAppGlobals();
    Files.Mount("");
    Files.SetBaseFolder(Game.Path());
  }
  void TearDown() override { ResetAppGlobals(); }

  std::unique_ptr<TProject> Create(IFileByteWriter* writer = nullptr) {
    TProjectParts parts;
    parts.Files = &Files;
    parts.Vars = &Vars;
    parts.Ui = &Ui;
    parts.MakeInterpreter = [this](TProject&) { return std::make_unique<TRecordingInterpreter>(Log); };
    TProjectOptions options;
    options.GameFolder = Game.Path();
    options.ProgramFolder = Game.Path();
    options.SavePlaces.DataHome = Game / "data";
    options.SaveWriter = writer;
    return std::make_unique<TProject>(std::move(parts), std::move(options));
  }

  TTempDir Game;
  TVrFileManager Files;
  TParamCollection Vars;
  TAnsweringUi Ui;
  std::vector<std::string> Log;
};

TEST_F(ProjectTest, AFolderWithoutSettingsLeavesTheSaveFileAlone) {
  const TBytes old = Archive({{"STATUSSAVEDATA", StatusWithClear()}, {"GAMESAVEDATA1", {1, 0, 0, 0}}});
  WriteFile(Game / "save.dat", old);
  {
    auto project = Create();
    EXPECT_TRUE(AppTerminating);
    EXPECT_FALSE(project->StatusRestored());
    EXPECT_EQ(project->Title(), Utf8ToCp932("情報"));
    EXPECT_TRUE(project->ShowToolbar());
    EXPECT_FALSE(project->SaveStatus());
  }
  EXPECT_EQ(ReadFile(Game / "save.dat"), old);
  EXPECT_TRUE(Ui.Messages.empty());
  ASSERT_EQ(Ui.Errors.size(), 1u) << "the player says why nothing starts";
  EXPECT_NE(Ui.Errors[0].find("kest.kpb"), std::string::npos) << Cp932ToUtf8(Ui.Errors[0]);
  EXPECT_NE(Ui.Errors[0].find(Utf8ToCp932("プロジェクトがありません")), std::string::npos);
}

TEST_F(ProjectTest, EmptyOrTooNewSettingsEndTheStartWithTheirMessage) {
  const TBytes old = Archive({{"STATUSSAVEDATA", StatusWithClear()}});
  WriteFile(Game / "save.dat", old);
  WriteFile(Game / "kest.kpb", {});
  Create().reset();
  EXPECT_EQ(Ui.Messages, std::vector<std::string>{Utf8ToCp932("プロジェクトがありません")});

  TBytes too_new = Settings();
  too_new[0] = 117;
  WriteFile(Game / "kest.kpb", too_new);
  Create().reset();
  EXPECT_TRUE(AppTerminating);
  EXPECT_EQ(Ui.Errors, std::vector<std::string>{Utf8ToCp932("このバージョンには対応していません")});
  EXPECT_EQ(ReadFile(Game / "save.dat"), old);
}

TEST_F(ProjectTest, LoadsStartsAndStoresTheStatusWhenItEnds) {
  WriteFile(Game / "kest.kpb", Settings());
  WriteFile(Game / "start.ksb", {0});
  WriteFile(Game / "save.dat", Archive({{"STATUSSAVEDATA", StatusWithClear()},
                                        {"save:notes.txt", {'h', 'i'}},
                                        {"GAMESAVEDATA2", TRecordBytes().Int(140).Str("Slot two").Bytes()},
                                        {"GAMESAVEDATAx", TRecordBytes().Int(140).Str("bad").Bytes()}}));
  {
    auto project = Create();
    EXPECT_FALSE(AppTerminating);
    EXPECT_TRUE(project->Loaded());
    EXPECT_EQ(Ui.Title, "Kest");
    EXPECT_EQ(project->ScreenWidth(), 640);
    EXPECT_EQ(project->ScreenHeight(), 480);
    EXPECT_FALSE(project->ShowToolbar());
    EXPECT_TRUE(project->StopWhenInactive());
    EXPECT_EQ(Log, std::vector<std::string>{"start start.ksb"});
    EXPECT_EQ(Vars.FindVar("Clear")->Value()->GetAsInt(), 3);
    EXPECT_EQ(Vars.FindVar("Hero")->Value()->GetAsStr(), "kest");
    EXPECT_EQ(Vars.FindVar("Ghost"), nullptr);
    EXPECT_EQ(project->ProjectVarNames(), std::vector<std::string>{"Hero"});
    ASSERT_EQ(project->SavedGames().size(), 1u);
    EXPECT_EQ(project->SlotTitle(2), "Slot two");
    EXPECT_EQ(project->SlotTitle(1), "");
    TTpBigMemoryStream notes;
    Files.Load(notes, "save:notes.txt");
    EXPECT_EQ(notes.Size(), 2);
    Vars.FindVar("Clear")->Value()->SetAsInt(4);
    project->RunTick();
  }
  EXPECT_EQ(Log.back(), "exit exit.ksb running");
  EXPECT_TRUE(AppTerminating);

  TParamCollection restored;
  TKeptReadList read_list;
  TKeptImageCacheState image_cache;
  TKeptStatusTables tables;
  TVrFileCollection save;
  auto bytes = std::make_unique<TTpBigMemoryStream>();
  bytes->LoadFromFile(Game / "save.dat");
  save.OpenStream(std::move(bytes), "save.dat");
  TTpBigMemoryStream status;
  save.Extract(status, "STATUSSAVEDATA");
  TStatusRecord(restored, read_list, image_cache, tables).LoadFromStream(status);
  EXPECT_EQ(restored.FindVar("Clear")->Value()->GetAsInt(), 4);
  EXPECT_NE(save.FindEntry("GAMESAVEDATA2"), nullptr);
  EXPECT_NE(save.FindEntry("save:notes.txt"), nullptr);
}

TEST_F(ProjectTest, AMissingStartPageEndsTheStart) {
  WriteFile(Game / "kest.kpb", Settings("nowhere.ksb", ""));
  auto project = Create();
  EXPECT_TRUE(AppTerminating);
  EXPECT_FALSE(project->Loaded());
  EXPECT_EQ(Ui.Messages, std::vector<std::string>{Utf8ToCp932("スタートページがありません")});
  EXPECT_TRUE(Log.empty());
}

// Fails once it has taken half of what it is given.
class THalfWriter final : public IFileByteWriter {
 public:
  int64_t Write(int fd, const uint8_t* data, int64_t count) override {
    if (Failed) {
      errno = EIO;
      return -1;
    }
    Failed = true;
    return ::write(fd, data, static_cast<size_t>(count / 2));
  }
  bool Failed = false;
};

TEST_F(ProjectTest, AFailedStatusWriteKeepsTheOldSaveFileAndIsReported) {
  WriteFile(Game / "kest.kpb", Settings());
  WriteFile(Game / "start.ksb", {0});
  const TBytes old = Archive({{"STATUSSAVEDATA", StatusWithClear()}, {"GAMESAVEDATA1", TBytes(5000, 7)}});
  WriteFile(Game / "save.dat", old);
  THalfWriter writer;
  {
    auto project = Create(&writer);
    Vars.FindVar("Clear")->Value()->SetAsInt(99);
    EXPECT_FALSE(project->SaveStatus());
    EXPECT_EQ(ReadFile(Game / "save.dat"), old);
    writer.Failed = false;
  }
  EXPECT_TRUE(writer.Failed);
  EXPECT_EQ(ReadFile(Game / "save.dat"), old);
  EXPECT_EQ(Ui.SaveFailures.size(), 2u);
  EXPECT_EQ(test::CountFiles(Game.Path()), 3);
}

TEST_F(ProjectTest, ASaveFileThatCannotBeReadIsSetAsideUnderTheNextFreeNameAndTheGameStarts) {
  WriteFile(Game / "kest.kpb", Settings());
  WriteFile(Game / "start.ksb", {0});
  const TBytes whole = Archive({{"STATUSSAVEDATA", StatusWithClear()}, {"GAMESAVEDATA1", TBytes(5000, 7)}});
  const std::string text = "not a save file\n";
  const std::vector<TBytes> unreadable = {
      Archive({{"STATUSSAVEDATA", TRecordBytes().Raw("Status103").Int(5).Bytes()}}),
      {},
      TBytes(text.begin(), text.end()),
      TBytes(whole.begin(), whole.end() - 8),
  };
  WriteFile(Game / "save.dat.damaged-2", {1});
  const std::vector<std::string> names = {"save.dat.damaged-1", "save.dat.damaged-3", "save.dat.damaged-4",
                                          "save.dat.damaged-5"};
  for (size_t i = 0; i < unreadable.size(); ++i) {
    SCOPED_TRACE(i);
    WriteFile(Game / "save.dat", unreadable[i]);
    Ui.Messages.clear();
    auto project = Create();
    EXPECT_TRUE(project->Loaded());
    EXPECT_TRUE(Ui.Errors.empty());
    ASSERT_EQ(Ui.Messages.size(), 1u);
    EXPECT_NE(Ui.Messages[0].find(names[i]), std::string::npos) << Ui.Messages[0];
    EXPECT_EQ(ReadFile(Game / names[i]), unreadable[i]);
    EXPECT_FALSE(std::filesystem::exists(Game / "save.dat"));
    EXPECT_TRUE(project->SaveStatus());
  }
  EXPECT_EQ(ReadFile(Game / "save.dat.damaged-2"), TBytes{1});
}

TEST_F(ProjectTest, EnsureFileAsksForTheDiscOfFilesThatDoNotStreamInTheProjectsWords) {
  WriteFile(Game / "kest.kpb", Settings("start.ksb", "exit.ksb", "Disc %d, please", "Leaving"));
  WriteFile(Game / "start.ksb", {0});
  auto project = Create();
  EXPECT_TRUE(project->EnsureFile("start.ksb"));
  EXPECT_FALSE(project->EnsureFile("elsewhere.ksb"));
  EXPECT_FALSE(project->EnsureFile("disc2\\track.OGG"));

  struct TPrompt final : IDiscPrompt {
    TPromptAnswer AskForDisc(const std::string&, const std::string& text) override {
      Shown.push_back(text);
      return TPromptAnswer::Cancel;
    }
    TPromptAnswer ConfirmQuit(const std::string&, const std::string& text) override {
      Shown.push_back(text);
      return TPromptAnswer::Ok;
    }
    std::vector<std::string> Shown;
  } prompt;
  Files.SetDiscPrompt(&prompt);
  EXPECT_FALSE(project->EnsureFile("disc2\\page.ksb"));
  EXPECT_EQ(prompt.Shown, (std::vector<std::string>{"Disc 2, please", "Leaving"}));
  Files.SetDiscPrompt(nullptr);
}

TEST_F(ProjectTest, ADamagedSlotIsWrittenBackAsItWasAndTheStatusIsStored) {
  WriteFile(Game / "kest.kpb", Settings());
  WriteFile(Game / "start.ksb", {0});
  TBytes old = Archive({{"STATUSSAVEDATA", StatusWithClear()}, {"GAMESAVEDATA1", TBytes(5000, 7)}});
  std::fill(old.end() - 8, old.end(), 0xEE);        // the slot's compressed bytes end damaged
  const TBytes damaged(old.end() - 40, old.end());  // the slot is the last entry
  WriteFile(Game / "save.dat", old);
  auto project = Create();
  Vars.FindVar("Clear")->Value()->SetAsInt(99);
  EXPECT_TRUE(project->SaveStatus());
  EXPECT_TRUE(Ui.Messages.empty());
  EXPECT_TRUE(Ui.SaveFailures.empty());
  TVrFileCollection save;
  save.Open(Game / "save.dat");
  const TVrFile* slot = save.FindEntry("GAMESAVEDATA1");
  ASSERT_NE(slot, nullptr);
  const TBytes now = ReadFile(Game / "save.dat");
  ASSERT_GE(slot->Size, 40);
  const auto slot_end = now.begin() + slot->Offset + slot->Size;
  EXPECT_EQ(TBytes(slot_end - 40, slot_end), damaged);
  TTpBigMemoryStream status;
  save.Extract(status, "STATUSSAVEDATA");
  EXPECT_GT(status.Size(), 0);
}

TEST_F(ProjectTest, AShippedGameNeedsItsInstallationRecord) {
  TProjectParts parts;
  parts.Files = &Files;
  parts.Vars = &Vars;
  parts.Ui = &Ui;
  TProjectOptions options;
  options.ProgramFolder = Game / "program";
  TVrFileManager::TOptions no_discs;
  WriteFile(Game / "mounts", {});
  no_discs.MountTable = Game / "mounts";
  TVrFileManager files(no_discs);
  parts.Files = &files;
  TProject(parts, options).SaveStatus();
  EXPECT_EQ(Ui.Messages, std::vector<std::string>{Utf8ToCp932("インストールし直してください")});

  TKestInstallSet install;
  install.GameId = "Kest";
  install.SaveToFile(Game / "install.dat");
  WriteFile(Game / "program/install.dat", ReadFile(Game / "install.dat"));
  Ui.Answers = {TPromptAnswer::Cancel, TPromptAnswer::Ok};
  TProject shipped(parts, options);
  EXPECT_TRUE(AppTerminating);
  EXPECT_EQ(Ui.Questions,
            (std::vector<std::string>{Utf8ToCp932("ディスクを入れてください"), Utf8ToCp932("終了します")}));
}

TEST_F(ProjectTest, AShippedGameCopiedFromADiscInCapitalsStarts) {
  TKestInstallSet install;
  install.GameId = "Kest";
  install.FullInstall = true;
  WriteFile(Game / "program/GAME.DAT", Archive({{"kest.kpb", Settings()}, {"start.ksb", {0}}}));
  install.SaveToFile(Game / "program/INSTALL.DAT");
  TVrFileManager::TOptions no_discs;
  WriteFile(Game / "mounts", {});
  no_discs.MountTable = Game / "mounts";
  TVrFileManager files(no_discs);
  TProjectParts parts;
  parts.Files = &files;
  parts.Vars = &Vars;
  parts.Ui = &Ui;
  TProjectOptions options;
  options.ProgramFolder = Game / "program";
  TProject shipped(parts, options);
  EXPECT_TRUE(shipped.Loaded());
  EXPECT_TRUE(Ui.Questions.empty());
}

}  // namespace
}  // namespace kest
