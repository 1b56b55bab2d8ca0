#include <gtest/gtest.h>

#include <filesystem>

#include "common/sjis.h"
#include "platform/system.h"
#include "shell/instance_key.h"

#include "support/temp_files.h"

namespace kest {
namespace {

TEST(InstanceKey, FolderBecomesUpperCaseWithDashes) {
  EXPECT_EQ(MakeInstanceKey("c:\\games\\demo"), "C:-GAMES-DEMO-");
  EXPECT_EQ(MakeInstanceKey("c:\\games\\demo\\"), "C:-GAMES-DEMO-");
  EXPECT_EQ(MakeInstanceKey("C:\\Games\\Demo"), MakeInstanceKey("c:\\games\\demo\\"));
  EXPECT_NE(MakeInstanceKey("c:\\games\\demo"), MakeInstanceKey("c:\\games\\demo2"));
}

TEST(InstanceKey, ConfigKeepsItsSlash) {
  EXPECT_EQ(MakeInstanceKey("/config"), "/CONFIG-");
  EXPECT_EQ(MakeInstanceKey("/CONFIG"), "/CONFIG-");
  // The dialog has one key however it was asked for; a game has its own.
  EXPECT_EQ(InstanceKeyForStart(ParseCommandLine({"--config"}), "/opt/game"), "/CONFIG-");
  EXPECT_EQ(InstanceKeyForStart(ParseCommandLine({"/Config"}), "/opt/game"), "/CONFIG-");
  EXPECT_EQ(InstanceKeyForStart(ParseCommandLine({}), "/opt/game"), "/OPT/GAME-");
}

TEST(InstanceKey, TrailByteBackslashIsNotADelimiter) {
  // ソ is 83 5C: its second byte is not a path delimiter, so a "\" is still
  // appended, and it is not turned into "-".
  const std::string so = "\x83\x5c";
  EXPECT_EQ(MakeInstanceKey("c:\\" + so), "C:-" + so + "-");
  // A trail byte is never upper-cased: ヂ (83 61) keeps its 0x61.
  EXPECT_EQ(MakeInstanceKey("\x83\x61"
                            "a"),
            "\x83\x61"
            "A-");
  // A lone lead byte at the end takes the appended "\" as its second byte,
  // which then stays.
  EXPECT_EQ(MakeInstanceKey("a\x83"), "A\x83\\");
}

TEST(InstanceKey, HostFoldersAreKeyedByTheirCanonicalPath) {
  namespace fs = std::filesystem;
  const ::kest::test::TTempDir scratch;
  const fs::path dir = fs::path(scratch.Path()) / "kest_key_test" / "demo";
  fs::create_directories(dir);
  const std::string plain = InstanceKeyForParameter(dir.string());
  EXPECT_EQ(InstanceKeyForParameter(dir.string() + "/"), plain);
  EXPECT_EQ(InstanceKeyForParameter((dir / ".." / "demo").string()), plain);
  EXPECT_EQ(plain.back(), '-');
  fs::create_directories(dir.parent_path() / "other");
  EXPECT_NE(InstanceKeyForParameter((dir.parent_path() / "other").string()), plain);
  EXPECT_EQ(InstanceKeyForParameter("/config"), "/CONFIG-");
  fs::remove_all(dir.parent_path());
}

TEST(InstanceLock, SecondHolderOfTheSameKeyFails) {
  auto first = TInstanceLock::Acquire("TEST-KEY-A-");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(TInstanceLock::Acquire("TEST-KEY-A-"), nullptr);
  auto other = TInstanceLock::Acquire("TEST-KEY-B-");
  EXPECT_NE(other, nullptr);
  first.reset();
  EXPECT_NE(TInstanceLock::Acquire("TEST-KEY-A-"), nullptr);
}

}  // namespace
}  // namespace kest
