#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/host_services.h"

#include "support/temp_files.h"

namespace kest {
namespace {

TEST(HostServices, RunsProgramsWithoutAShell) {
  auto echo = RunProgram({"printf", "%s|", "a b", "$HOME;rm"}, true);
  ASSERT_TRUE(echo);
  EXPECT_EQ(echo->Status, 0);
  EXPECT_EQ(echo->Output, "a b|$HOME;rm|");  // arguments reach the program untouched
  auto failing = RunProgram({"false"}, true);
  ASSERT_TRUE(failing);
  EXPECT_EQ(failing->Status, 1);
  EXPECT_FALSE(RunProgram({"/nonexistent/program"}, true));
  EXPECT_FALSE(RunProgram({}, true));
}

// A dialog that takes its time leaves the window's loop turning meanwhile,
// and its answer still comes back whole.
TEST(HostServices, AWaitedProgramLetsTheCallerTurn) {
  int turns = 0;
  auto slow = RunProgram({"sh", "-c", "sleep 0.3; printf chosen"}, true, [&turns] { ++turns; });
  ASSERT_TRUE(slow);
  EXPECT_EQ(slow->Output, "chosen");
  EXPECT_GE(turns, 5) << "about one turn every 15 ms";
}

TEST(HostServices, UserFoldersFollowTheXdgFiles) {
  namespace fs = std::filesystem;
  const ::kest::test::TTempDir scratch;
  const fs::path home = fs::path(scratch.Path()) / "kest_home_test";
  fs::create_directories(home / ".config");
  std::ofstream(home / ".config" / "user-dirs.dirs") << "# made by hand\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";
  const std::string old_home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", home.c_str(), 1);
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(XdgFolder(TSpecialFolder::Desktop), (home / "Schreibtisch").string());
  EXPECT_EQ(XdgFolder(TSpecialFolder::Documents), (home / "Documents").string());
  EXPECT_EQ(XdgFolder(TSpecialFolder::Config), (home / ".config").string());
  ::setenv("HOME", old_home.c_str(), 1);
  fs::remove_all(home);
}

TEST(HostServices, HeadlessDialogsAreCancelled) {
  THeadlessHostServices host;
  EXPECT_FALSE(host.ChooseFile("Open", "/tmp", false));
  EXPECT_FALSE(host.ChooseFolder("Where", ""));
  EXPECT_TRUE(host.OpenUrl("https://example.invalid/"));
  EXPECT_EQ(host.requests,
            (std::vector<std::string>{"open-file Open", "folder Where", "open https://example.invalid/"}));
}

}  // namespace
}  // namespace kest
