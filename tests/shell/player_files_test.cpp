#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/sjis.h"
#include "platform/dialogs.h"
#include "shell/player_files.h"
#include "storage/big_memory_stream.h"

#include "support/temp_files.h"

namespace kest {
namespace {

TEST(PlayerFiles, DiscQuestionsGoThroughTheDialogs) {
  TScriptedDialogs dialogs;
  dialogs.Push(TUiResult::Ok);
  dialogs.Push(TUiResult::Cancel);
  std::string shown;
  dialogs.SetObserver(
      [&](const std::string& caption, const std::string& text, TUiResult) { shown += caption + "|" + text + ";"; });
  bool closed = false;
  TPlayerFiles files("/nonexistent/kestplayer", &dialogs, [&] { closed = true; });
  EXPECT_EQ(files.AskForDisc(Utf8ToCp932("デモ"), Utf8ToCp932("ディスク2を入れてください")), TPromptAnswer::Ok);
  EXPECT_EQ(files.ConfirmQuit(Utf8ToCp932("デモ"), Utf8ToCp932("終了します")), TPromptAnswer::Cancel);
  EXPECT_EQ(shown, "デモ|ディスク2を入れてください;デモ|終了します;");
  files.CloseMainWindow();
  EXPECT_TRUE(closed);
}

TEST(PlayerFiles, StartUpMountsFindGameFiles) {
  namespace fs = std::filesystem;
  const ::kest::test::TTempDir scratch;
  const fs::path game = fs::path(scratch.Path()) / "kest_player_files_test";
  fs::remove_all(game);
  fs::create_directories(game / "BGM");
  std::ofstream(game / "BGM" / "Track1.OGG") << "ogg!";
  TPlayerFiles files("/nonexistent/kestplayer", nullptr, nullptr);
  files.MountMemory();
  files.SetBaseFolder(game.string() + "/");
  EXPECT_TRUE(files.Manager().Exists("bgm\\track1.ogg"));
  TTpBigMemoryStream data;
  files.Manager().Load(data, "bgm\\track1.ogg");
  EXPECT_EQ(data.Size(), 4);
  files.DeletePendingFiles();
  fs::remove_all(game);
}

}  // namespace
}  // namespace kest
