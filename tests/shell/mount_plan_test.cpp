#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "shell/mount_plan.h"
#include "support/temp_files.h"

namespace kest {
namespace {

namespace fs = std::filesystem;
using K = TMountStep::TKind;

class MountPlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(scratch_.Path());
    fs::create_directories(root_ / "game");
    fs::create_directories(root_ / "bare");
  }
  std::string Write(const fs::path& rel, const std::string& bytes) {
    std::ofstream(root_ / rel, std::ios::binary) << bytes;
    return (root_ / rel).string();
  }
  ::kest::test::TTempDir scratch_;
  fs::path root_;
};

TEST_F(MountPlanTest, ProgramWithoutParameters) {
  const std::string plain = Write("player", "ELF....");
  EXPECT_EQ(PlanMounts({}, plain, false), (std::vector<TMountStep>{{K::SetBaseFolder, root_.string() + "/"}}));
  const std::string appended = Write("player2", "ELF....vf....kv");
  EXPECT_EQ(PlanMounts({}, appended, true),
            (std::vector<TMountStep>{
                {K::SetBaseFolder, root_.string() + "/"}, {K::MountResource, ""}, {K::MountFile, appended}}));
}

TEST_F(MountPlanTest, EachParameterMountsItsGameDataInOrder) {
  const std::string dat = Write("game/GAME.DAT", "vf");
  const std::string archive = Write("extra.bin", "....kv");
  Write("notarchive.bin", "....vk");
  const std::string game = (root_ / "game").string();
  auto steps = PlanMounts({game, (root_ / "bare").string(), archive, (root_ / "notarchive.bin").string()},
                          "/usr/bin/kestplayer", true);
  EXPECT_EQ(steps,
            (std::vector<TMountStep>{{K::SetBaseFolder, game + "/"}, {K::MountFile, dat}, {K::MountFile, archive}}));
}

TEST_F(MountPlanTest, TrailerNeedsTwoBytes) {
  EXPECT_FALSE(EndsWithArchiveTrailer(Write("one", "v")));
  EXPECT_FALSE(EndsWithArchiveTrailer(Write("empty", "")));
  EXPECT_TRUE(EndsWithArchiveTrailer(Write("two", "kv")));
  EXPECT_FALSE(EndsWithArchiveTrailer((root_ / "game").string()));
  EXPECT_FALSE(EndsWithArchiveTrailer((root_ / "missing").string()));
}

}  // namespace
}  // namespace kest
