// The virtual file manager: where a file comes from, work files, mounting,
// and the disc change with scripted answers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <deque>
#include <filesystem>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/sjis.h"
#include "storage/install_record.h"
#include "storage/vr_file_manager.h"
#include "storage_test_util.h"

namespace kest {
namespace {

using namespace kest::test;

void WriteGameArchive(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
  TVrFileCollection archive;
  for (const auto& [name, bytes] : entries)
    WriteExact(*archive.AddMemoryFile(name)->Content, bytes.data(), bytes.size());
  TTpBigMemoryStream out;
  ASSERT_TRUE(archive.WriteArchive(out));
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  out.SaveToFile(path);
}

std::string Loaded(TVrFileManager& manager, std::string_view name) {
  TTpBigMemoryStream out;
  manager.Load(out, name);
  return std::string(out.Data().begin(), out.Data().end());
}

std::string FileText(const std::string& path) {
  const TBytes bytes = ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

// A game folder with game.dat and a few loose files, mounted as start-up does.
class VfmManager : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(Dir / "table", Text("22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"));
    WriteGameArchive(Dir / "game/game.dat", {{"kest.kpb", "archived settings"},
                                             {"start.ksb", "archived page"},
                                             {"bgm\\track1.ogg", "archived sound"},
                                             {"bgm\\track2.ogg", "second sound"},
                                             {"C:\\abs.txt", "inside"},
                                             {"evil.o/../../x", "steer"}});
    WriteFile(Dir / "game/KEST.KPB", Text("folder settings"));
    WriteFile(Dir / "game/BGM/Extra.OGG", Text("loose sound"));
    WriteFile(Dir / "game/画像/タイトル.PNG", Text("title picture"));
    WriteFile(Dir / "game/abs.txt", Text("host"));
    ASSERT_EQ(Manager.Mount(""), 0);
    ASSERT_EQ(Manager.Mount(Dir / "game/game.dat"), 1);
    Manager.SetBaseFolder(Dir / "game");
  }

  TTempDir Dir;
  TVrFileManager Manager{{Dir / "table", Dir.Path()}};
};

TEST_F(VfmManager, TheGameFolderComesFirstThenMemoryThenTheArchive) {
  EXPECT_EQ(Loaded(Manager, "kest.kpb"), "folder settings");
  EXPECT_EQ(Manager.GetFileName("kest.kpb"), Dir / "game/KEST.KPB");
  EXPECT_EQ(Manager.Mount(""), -1);
  EXPECT_EQ(Manager.Count(), 2);
  WriteExact(*Manager.Collections(0)->AddMemoryFile("START.KSB")->Content, "restored", 8);
  EXPECT_EQ(Loaded(Manager, "start.ksb"), "restored");
  EXPECT_EQ(Loaded(Manager, "bgm\\track1.ogg"), "archived sound");
  EXPECT_EQ(Loaded(Manager, Utf8ToCp932("画像\\タイトル.png")), "title picture");
  EXPECT_TRUE(Manager.Exists("Bgm\\Extra.ogg"));
  EXPECT_FALSE(Manager.Exists(""));

  TTpMemoryStream plain;
  WriteExact(plain, "old bytes here", 14);
  Manager.Load(plain, "bgm\\track2.ogg");
  EXPECT_EQ(plain.Position(), 0);
  EXPECT_EQ(std::string(plain.Bytes().begin(), plain.Bytes().end()), "second sound");

  try {
    Loaded(Manager, "none.pxa");
    FAIL();
  } catch (const EKestError& e) {
    EXPECT_EQ(std::string(e.what()), "none.pxa" + Utf8ToCp932(":ファイルがありません"));
  }
  EXPECT_THROW(Manager.OpenRange("none.pxa"), EKestError);
  EXPECT_EQ(Manager.GetFileName("none.pxa"), "none.pxa");
}

TEST_F(VfmManager, DriveAndNetworkNamesStayInsideTheGameData) {
  EXPECT_EQ(Loaded(Manager, "C:\\abs.txt"), "inside");
  EXPECT_FALSE(Manager.Exists("D:\\abs.txt"));
  EXPECT_FALSE(Manager.Exists("\\\\host\\abs.txt"));
  EXPECT_TRUE(Manager.Exists("\\abs.txt"));
  EXPECT_EQ(TVrFileManager::FolderOf("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(TVrFileManager::FolderOf("C:b.txt"), "C:");
  EXPECT_EQ(TVrFileManager::FolderOf("bg\\" + Utf8ToCp932("ソ.pxa")), "bg\\");
  EXPECT_EQ(TVrFileManager::FolderOf("file"), "");
}

TEST_F(VfmManager, WorkFilesAreMadeOncePerNameAndRemovedAtTheEnd) {
  std::string folder;
  {
    TVrFileManager manager{{Dir / "table", Dir.Path()}};
    manager.Mount(Dir / "game/game.dat");
    const std::string first = manager.GetFileName("bgm\\track1.ogg");
    folder = manager.WorkFolder();
    EXPECT_EQ(first, folder + "~kv00000000.ogg");
    EXPECT_EQ(FileText(first), "archived sound");
    EXPECT_EQ(manager.GetFileName("bgm\\track1.ogg"), first);
    EXPECT_EQ(manager.GetFileName("BGM\\TRACK1.OGG"), folder + "~kv00000001.OGG");
    EXPECT_EQ(manager.LockList().Count(), 2);
    EXPECT_EQ(manager.GetFileName("evil.o/../../x"), folder + "~kv00000002");
    EXPECT_EQ(std::filesystem::path(folder).parent_path().parent_path(), Dir.Path());
    struct stat st {};
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    manager.FileChanged("bgm\\track1.ogg");
    EXPECT_EQ(manager.PendingDeletes().size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(first));
    manager.DeletePendingFiles();
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_EQ(manager.GetFileName("bgm\\track1.ogg"), folder + "~kv00000003.ogg");
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(VfmManager, RangesAndListings) {
  auto loose = Manager.OpenRange("bgm\\extra.ogg");
  std::string bytes(static_cast<size_t>(loose->Size()), '\0');
  ReadExact(*loose, bytes.data(), loose->Size());
  EXPECT_EQ(bytes, "loose sound");
  auto archived = Manager.OpenRange("bgm\\track2.ogg");
  EXPECT_EQ(archived->Size(), 12);

  std::vector<std::string> list{"BGM\\TRACK2.OGG"};
  Manager.ListFiles("bgm", list);
  EXPECT_EQ(list, (std::vector<std::string>{"BGM\\TRACK2.OGG", "bgm\\track1.ogg", "bgm\\Extra.OGG"}));
  list.clear();
  Manager.ListFiles("", list);
  EXPECT_EQ(list, (std::vector<std::string>{"kest.kpb", "start.ksb", "evil.o/../../x", "abs.txt", "game.dat"}));
  Manager.Unmount(1);
  Manager.Unmount(7);
  EXPECT_EQ(Manager.Count(), 1);
  EXPECT_FALSE(Manager.FindEntry("start.ksb"));
}

class TScriptedPrompt : public IDiscPrompt {
 public:
  struct TStep {
    char Box;  // 'D' the disc request, 'Q' the quit question
    TPromptAnswer Answer;
    std::function<void()> Before;
  };
  std::deque<TStep> Steps;
  std::vector<std::string> Asked;
  bool Closed = false;

  TPromptAnswer AskForDisc(const std::string& caption, const std::string& message) override {
    return Next('D', caption, message);
  }
  TPromptAnswer ConfirmQuit(const std::string& caption, const std::string& message) override {
    return Next('Q', caption, message);
  }
  void CloseMainWindow() override { Closed = true; }

 private:
  // An exhausted script quits, so a wrong loop ends the test instead of hanging it.
  TPromptAnswer Next(char box, const std::string& caption, const std::string& message) {
    Asked.push_back(std::string(1, box) + caption + "|" + message);
    if (Steps.empty()) return box == 'D' ? TPromptAnswer::Cancel : TPromptAnswer::Ok;
    TStep step = Steps.front();
    Steps.pop_front();
    EXPECT_EQ(step.Box, box);
    if (step.Before) step.Before();
    return step.Answer;
  }
};

void MakeDisc(const std::string& root, const std::string& game_id, int32_t disc, const std::string& content) {
  WriteGameArchive(root + "/GAME.DAT", {{"movie\\op.mpg", content}});
  TKestInstallSet record;
  record.GameId = game_id;
  record.DiscNumber = disc;
  record.SaveToFile(root + "/Install.dat");
}

TEST_F(VfmManager, NoDiscAtStartAndNothingToAskWithoutAPrompt) {
  EXPECT_TRUE(Manager.DiscRoots().empty());
  EXPECT_FALSE(Manager.Exists("movie\\op.mpg"));
  EXPECT_FALSE(Manager.ChangeDisc(2));
}

TEST_F(VfmManager, ChangeDiscAsksUntilTheRightDiscIsInOrTheUserQuits) {
  ResetAppGlobals();
  const std::string title = Utf8ToCp932("ゲーム");
  MakeDisc(Dir / "disc_a", title, 0, "first disc");
  MakeDisc(Dir / "disc_b", title, 1, "second disc");
  MakeDisc(Dir / "disc_c", "other", 1, "other game");
  const std::string table = "1 1 1:1 / " + Dir / "disc_a" + " ro - iso9660 /dev/sr0 ro\n" + "2 1 1:2 / " +
                            Dir / "disc_c" + " ro - udf /dev/sr1 ro\n";
  TScriptedPrompt prompt;
  auto insert = [&](const std::string& more) { return [&, more] { WriteFile(Dir / "table", Text(table + more)); }; };
  prompt.Steps = {{'D', TPromptAnswer::Ok, insert("")},
                  {'D', TPromptAnswer::Cancel, {}},
                  {'Q', TPromptAnswer::Cancel, {}},
                  {'D', TPromptAnswer::Ok, insert("3 1 1:3 / " + Dir / "disc_b" + " ro - iso9660 /dev/sr2 ro\n")}};
  Manager.SetDiscPrompt(&prompt);
  Manager.SetProjectTitle(title);
  ASSERT_TRUE(Manager.ChangeDisc(2));
  EXPECT_TRUE(prompt.Steps.empty());
  EXPECT_EQ(prompt.Asked[0], "D" + title + "|" + Utf8ToCp932("ディスク2を入れてから[OK]をクリックしてください"));
  EXPECT_EQ(prompt.Asked[2], "Q" + title + "|" + Utf8ToCp932("終了します"));
  EXPECT_EQ(Manager.Count(), 3);
  EXPECT_EQ(Loaded(Manager, "movie\\op.mpg"), "second disc");
  EXPECT_FALSE(AppTerminating);

  prompt.Asked.clear();
  prompt.Steps = {{'D', TPromptAnswer::Cancel, {}}, {'Q', TPromptAnswer::Ok, {}}};
  EXPECT_FALSE(Manager.ChangeDisc(3));
  EXPECT_TRUE(AppTerminating);
  EXPECT_TRUE(prompt.Closed);
  EXPECT_EQ(Manager.Count(), 2);
  EXPECT_FALSE(Manager.FindEntry("movie\\op.mpg"));
  EXPECT_THROW(Loaded(Manager, "movie\\op.mpg"), EKestError);
  ResetAppGlobals();
}

}  // namespace
}  // namespace kest
