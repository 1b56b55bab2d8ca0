#include "imaging/pexa_collection.h"

#include <gtest/gtest.h>

#include <map>

#include "common/stream.h"
#include "imaging/pexa_frame_list.h"
#include "picture_builders.h"

namespace kest {
namespace {

class TFakeFiles : public IPictureFiles {
 public:
  bool Exists(const std::string& name) override { return Files.contains(name); }
  std::vector<uint8_t> Read(const std::string& name) override {
    ++Reads;
    return Files.at(name);
  }
  std::map<std::string, std::vector<uint8_t>> Files;
  int Reads = 0;
};

// A keyed picture with a red block inside; frame delays as given.
std::vector<uint8_t> Picture(std::vector<int32_t> delays) {
  TPexaFrameList list;
  for (int32_t delay : delays) {
    TPexaFrame& frame = list.AddFrame();
    frame.Composite.SetSize(20, 10, 24);
    frame.Composite.FillRect(TRect{4, 2, 8, 6}, 0x0000FF);
    frame.TransparentPixel = 0;
    frame.Delay = delay;
  }
  TByteStream out;
  SavePexa(list, out, TPexaWriteOptions());
  return out.TakeBytes();
}

TEST(PexaCollection, ItemsAreSharedByKeyAndGoWithTheirLastUser) {
  TFakeFiles files;
  files.Files["bg.pxa"] = Picture({100, 0});
  TPexaCollection cache(&files, 0);
  int a = 0;
  int b = 0;
  TPexaItem* plain = cache.Acquire(&a, "bg.pxa", false, false);
  EXPECT_EQ(cache.Acquire(&b, "BG.PXA", false, false), plain);
  TPexaItem* both = cache.Acquire(&a, "bg.pxa", true, true);
  EXPECT_NE(both, plain);
  EXPECT_EQ(both->Name, "bg.pxa?m?t");
  ASSERT_EQ(both->Frames.size(), 2u);
  EXPECT_EQ(both->Frames[0].OffsetX, 4);
  EXPECT_EQ(both->Frames[0].Surface->Width(), 4);
  ASSERT_NE(both->Frames[0].Mask, nullptr);
  EXPECT_EQ(plain->TotalDelay, 101) << "a stored 0 counts as 1";
  EXPECT_EQ(files.Reads, 2);
  cache.Release(plain, &a);
  EXPECT_EQ(cache.Count(), 2);
  cache.Release(plain, &b);
  EXPECT_EQ(cache.Count(), 1);
  // Forgotten names load again; the holder keeps its item.
  cache.Forget("bg.pxa");
  TPexaItem* again = cache.Acquire(&b, "bg.pxa", true, true);
  EXPECT_NE(again, both);
  EXPECT_EQ(files.Reads, 3);
  cache.Release(both, &a);
  cache.Release(again, &b);
  EXPECT_EQ(cache.Count(), 0);
}

// One holder with the same picture in two slots holds it once per slot.
TEST(PexaCollection, EachAcquireHoldsTheItemUntilItsOwnRelease) {
  TFakeFiles files;
  files.Files["bg.pxa"] = Picture({100});
  TPexaCollection cache(&files, 0);
  int holder = 0;
  TPexaItem* first = cache.Acquire(&holder, "bg.pxa", false, false);
  EXPECT_EQ(cache.Acquire(&holder, "bg.pxa", false, false), first);
  cache.Release(first, &holder);
  ASSERT_EQ(cache.Find("bg.pxa"), first) << "the second slot still holds it";
  EXPECT_EQ(first->Frames.size(), 1u);
  cache.Release(first, &holder);
  EXPECT_EQ(cache.Count(), 0);
  int stranger = 0;
  TPexaItem* again = cache.Acquire(&holder, "bg.pxa", false, false);
  cache.Release(again, &stranger);
  EXPECT_EQ(cache.Count(), 1) << "a release by one who holds nothing does nothing";
  cache.Release(again, &holder);
  EXPECT_EQ(cache.Count(), 0);
}

// The bytes, not the name, choose the decoder.
TEST(PexaCollection, PicturesAreKnownByTheirContent) {
  TFakeFiles files;
  files.Files["pic.dat"] = Picture({100});
  files.Files["pic.pxa"] = test::MakePng(3, 2, std::vector<uint8_t>(3 * 2 * 4, 0xFF), true);
  files.Files["pic.png"] =
      test::MakeBmp(5, 4, 24, {}, std::vector<std::vector<uint8_t>>(4, std::vector<uint8_t>(15, 0x80)));
  TPexaCollection cache(&files, 0);
  int user = 0;
  EXPECT_EQ(cache.Acquire(&user, "pic.dat", false, false)->Width, 20);
  EXPECT_EQ(cache.Acquire(&user, "pic.pxa", false, false)->Width, 3);
  EXPECT_EQ(cache.Acquire(&user, "pic.png", false, false)->Width, 5);
}

TEST(PexaCollection, MissingFilesDrawNothing) {
  TFakeFiles files;
  TPexaCollection cache(&files, 0);
  int user = 0;
  TPexaItem* item = cache.Acquire(&user, "none.pxa", false, true);
  ASSERT_EQ(item->Frames.size(), 1u);
  TDIBX target(8, 8, 32);
  target.Fill(0x123456);
  TPexaCollection::DrawFrame(item->Frames[0], target, 0, 0, target.Bounds(), 255, false, false);
  EXPECT_EQ(target.GetPixel(3, 3), 0x123456u);
  EXPECT_EQ(item->Width, 0);
}

// A damaged picture keeps what could be read and says which file it is; one
// with nothing readable draws nothing, as a missing one.
TEST(PexaCollection, DamagedPicturesKeepTheirWholeFramesAndNameTheFile) {
  TFakeFiles files;
  std::vector<uint8_t> two = Picture({100, 50});
  two.resize(two.size() - 8);
  files.Files["two.pxa"] = two;
  std::vector<uint8_t> png = test::MakePng(3, 2, std::vector<uint8_t>(3 * 2 * 4, 0xFF), true);
  png.resize(png.size() / 2);
  files.Files["half.png"] = png;
  TPexaCollection cache(&files, 0);
  int user = 0;
  TPexaItem* item = cache.Acquire(&user, "two.pxa", false, false);
  ASSERT_EQ(item->Frames.size(), 1u) << "the cut second frame is dropped";
  EXPECT_EQ(item->Width, 20);
  EXPECT_EQ(item->Frames[0].Surface->GetPixel(5, 3), 0x0000FFu);
  EXPECT_EQ(item->Error.rfind("two.pxa: ", 0), 0u) << item->Error;
  EXPECT_EQ(cache.Acquire(&user, "two.pxa", false, false), item) << "kept in the cache with its reason";
  TPexaItem* half = cache.Acquire(&user, "half.png", false, true);
  ASSERT_EQ(half->Frames.size(), 1u);
  EXPECT_EQ(half->Width, 0) << "drawn as a missing picture";
  EXPECT_EQ(half->Error.rfind("half.png: ", 0), 0u) << half->Error;
  EXPECT_TRUE(cache.Acquire(&user, "two.pxa?none", false, false)->Error.empty());
}

TEST(PexaCollection, FramesDrawByTheAlphaRuleAndTile) {
  TPexaItemFrame frame;
  frame.Surface = std::make_unique<TDIBX>(40, 30, 32);
  frame.Surface->Fill(0x646464);
  TDIBX target(100, 50, 32);
  target.Fill(0x101010);
  TPexaCollection::DrawFrame(frame, target, 0, 0, MakeRect(0, 0, 40, 30), 300, false, false);
  // Additive at strength 300 - 256 = 44: 0x10 + 0x64 * 44 / 256.
  const uint32_t added = target.GetPixel(5, 5) & 0xFF;
  EXPECT_NEAR(double(added), 0x10 + 0x64 * 44 / 256.0, 1.0);
  frame.Delay = 75;
  EXPECT_EQ(frame.Steps(), 4) << "4.5 steps round to even";

  // Tiles 30, 40 and 30 wide, the first starting 10 pixels into the tile.
  for (int32_t x = 0; x < 40; ++x) frame.Surface->FillRect(MakeRect(x, 0, 1, 30), uint32_t(x));
  TPexaCollection::TileFrame(frame, target, MakeRect(0, 0, 100, 50), MakeRect(0, 0, 40, 30), 255, false, false, 10, 0);
  EXPECT_EQ(target.GetPixel(0, 0), 10u);
  EXPECT_EQ(target.GetPixel(29, 0), 39u);
  EXPECT_EQ(target.GetPixel(30, 0), 0u);
  EXPECT_EQ(target.GetPixel(70, 49), 0u);
  EXPECT_EQ(target.GetPixel(99, 0), 29u);
  TPexaCollection::TileFrame(frame, target, MakeRect(0, 0, 10, 10), TRect{}, 255, false, false, 0, 0);
}

}  // namespace
}  // namespace kest
