#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <zlib.h>

#include "common/errors.h"
#include "common/stream.h"
#include "imaging/dibx.h"
#include "picture_builders.h"
#include "surface_helpers.h"

#include "support/temp_files.h"

namespace kest {
namespace {

using test::MakeBmp;
using test::MakePng;

TDIBX LoadInto(const std::vector<uint8_t>& bytes, int bits) {
  TDIBX s(1, 1, bits);
  TByteStream stream(std::span<const uint8_t>(bytes.data(), bytes.size()));
  EXPECT_TRUE(s.LoadFromStream(stream));
  return s;
}

TEST(PictureIo, BmpOfEveryBitCount) {
  const std::vector<uint32_t> palette{0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  TDIBX p1 = LoadInto(MakeBmp(3, 2, 1, {0x000000, 0xFFFFFF}, {{0x40}, {0xA0}}), 32);
  EXPECT_EQ(p1.GetPixel(1, 0), 0xFFFFFFu);
  EXPECT_EQ(p1.GetPixel(0, 1), 0xFFFFFFu);
  EXPECT_EQ(p1.GetPixel(1, 1), 0u);
  TDIBX p4 = LoadInto(MakeBmp(2, 1, 4, palette, {{0x13}}), 32);
  EXPECT_EQ(p4.GetPixel(0, 0), 0xFF0000u);
  EXPECT_EQ(p4.GetPixel(1, 0), 0x0000FFu);
  TDIBX p8 = LoadInto(MakeBmp(2, -2, 8, palette, {{2, 0}, {1, 3}}), 32);
  EXPECT_EQ(p8.GetPixel(0, 0), 0x00FF00u) << "negative height: rows top-down";
  EXPECT_EQ(p8.GetPixel(1, 1), 0x0000FFu);
  TDIBX p16 = LoadInto(MakeBmp(1, 1, 16, {}, {{0x00, 0x7C}}), 32);
  EXPECT_EQ(p16.GetPixel(0, 0), 0xFF0000u) << "plain 16-bit BMPs are 5-5-5";
  TDIBX p565 = LoadInto(MakeBmp(1, 1, 16, {}, {{0xE0, 0x07}}, 3, {0xF800, 0x07E0, 0x001F}), 16);
  EXPECT_EQ(p565.GetPixel(0, 0), 0x07E0u);
  TDIBX p24 = LoadInto(MakeBmp(1, 2, 24, {}, {{1, 2, 3}, {4, 5, 6}}), 32);
  EXPECT_EQ(p24.GetPixel(0, 0), 0x030201u);
  EXPECT_EQ(p24.GetPixel(0, 1), 0x060504u);
  TDIBX p32 = LoadInto(MakeBmp(1, 1, 32, {}, {{1, 2, 3, 0xFF}}), 32);
  EXPECT_EQ(p32.GetPixel(0, 0), 0x030201u) << "the fourth byte is cleared";
  TDIBX odd = LoadInto(MakeBmp(1, 1, 32, {}, {{0x00, 0xF0, 0xFF, 0x00}}, 3, {0x0000F000, 0x00FF0000, 0xFF000000}), 32);
  EXPECT_EQ(odd.GetPixel(0, 0), 0xFFFF00u) << "red from a 4-bit field widened, green 0xFF, blue 0";
}

TEST(PictureIo, LoadKeepsTheSurfaceBitCount) {
  TDIBX s = LoadInto(MakeBmp(1, 1, 24, {}, {{0, 0, 0xFF}}), 16);
  EXPECT_EQ(s.BitCount(), 16);
  EXPECT_EQ(s.GetPixel(0, 0), 0xF800u);
}

TEST(PictureIo, PngWithAlphaFillsTheMask) {
  const std::vector<uint8_t> rgba{255, 0, 0, 0, 0, 255, 0, 128, 0, 0, 255, 255};
  const auto bytes = MakePng(3, 1, rgba, true);
  TDIBX s(1, 1, 32), mask(1, 1, 8);
  TByteStream stream(std::span<const uint8_t>(bytes.data(), bytes.size()));
  ASSERT_TRUE(s.LoadFromStreamWithAlpha(stream, mask));
  EXPECT_EQ(s.GetPixel(0, 0), 0xFF0000u);
  EXPECT_EQ(s.GetPixel(2, 0), 0x0000FFu);
  EXPECT_EQ(s.ScanLine(0)[3], 0);
  EXPECT_EQ(mask.GetPixel(0, 0), 0u);
  EXPECT_EQ(mask.GetPixel(1, 0), 128u);
  EXPECT_EQ(mask.GetPixel(2, 0), 255u);
  const auto opaque = MakePng(2, 1, {1, 2, 3, 0, 4, 5, 6, 0}, false);
  TByteStream second(std::span<const uint8_t>(opaque.data(), opaque.size()));
  EXPECT_FALSE(s.LoadFromStreamWithAlpha(second, mask));
  EXPECT_TRUE(mask.IsEmpty());
  EXPECT_EQ(s.GetPixel(1, 0), 0x040506u);
}

TEST(PictureIo, OtherContentLeavesTheSurfaceUnchanged) {
  TDIBX s = test::Solid(2, 2, 32, 0x123456);
  const std::vector<uint8_t> gif{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0};
  TByteStream stream(std::span<const uint8_t>(gif.data(), gif.size()));
  EXPECT_FALSE(s.LoadFromStream(stream));
  EXPECT_EQ(s.Width(), 2);
  EXPECT_EQ(s.GetPixel(1, 1), 0x123456u);
}

TEST(PictureIo, BadPicturesRaiseBeforeAllocating) {
  auto huge = MakeBmp(1, 1, 24, {}, {{0, 0, 0}});
  test::Put32(huge, 18, 16385);
  auto truncated = MakeBmp(4, 4, 24, {}, std::vector<std::vector<uint8_t>>(4, std::vector<uint8_t>(12, 0)));
  truncated.resize(truncated.size() - 5);
  auto overflow = MakeBmp(1, 1, 32, {}, {{0, 0, 0, 0}});
  test::Put32(overflow, 18, 0x7FFFFFFF);
  test::Put32(overflow, 22, 0x80000001);
  auto rle = MakeBmp(1, 1, 8, {0}, {{0}}, 1);
  auto png = MakePng(2, 2, std::vector<uint8_t>(16, 9), false);
  png[17] = 0x01;  // width 0x10002 in the header chunk, with its checksum mended
  const uLong crc = crc32(0, png.data() + 12, 17);
  for (int i = 0; i < 4; ++i) png[29 + i] = uint8_t(crc >> (24 - 8 * i));
  auto pngTruncated = MakePng(8, 8, std::vector<uint8_t>(256, 7), true);
  pngTruncated.resize(pngTruncated.size() / 2);
  for (const auto* bytes : {&huge, &truncated, &overflow, &rle, &png, &pngTruncated}) {
    TDIBX s(1, 1, 32);
    TByteStream stream(std::span<const uint8_t>(bytes->data(), bytes->size()));
    EXPECT_THROW(s.LoadFromStream(stream), EReadError);
  }
}

TEST(PictureIo, SavedPicturesReadBack) {
  TDIBX s(3, 2, 16);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) s.SetPixel(x, y, uint32_t(s.ColorToPixel(x == 0 ? 0xFF : y == 0 ? 0xFF00 : 0xFF0000)));
  for (bool png : {false, true}) {
    TByteStream out;
    png ? s.SaveToPngStream(out) : s.SaveToBmpStream(out);
    TDIBX back = LoadInto(out.Bytes(), 16);
    EXPECT_TRUE(test::SamePixels(s, back)) << (png ? "png" : "bmp");
  }
  const ::kest::test::TTempDir scratch;
  const auto dir = std::filesystem::path(scratch.Path()) / "kest_imaging_test";
  std::filesystem::create_directories(dir);
  EXPECT_TRUE(s.SaveToFile((dir / "shot.BMP").string()));
  EXPECT_FALSE(s.SaveToFile((dir / "shot.gif").string()));
  TDIBX back(1, 1, 16);
  EXPECT_TRUE(back.LoadFromFile((dir / "shot.BMP").string()));
  EXPECT_TRUE(test::SamePixels(s, back));
  std::filesystem::remove_all(dir);
}

// With KEST_WRITE_IMAGING_SEEDS set to a folder, writes the fuzz seeds there.
TEST(PictureIo, SeedsForTheFuzzers) {
  const char* dir = std::getenv("KEST_WRITE_IMAGING_SEEDS");
  if (!dir) GTEST_SKIP();
  const std::vector<uint32_t> palette{0x000000, 0xFFFFFF, 0x808080, 0x0000FF};
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds{
      {"bmp_loader/1bit.bmp", MakeBmp(3, 2, 1, {0, 0xFFFFFF}, {{0x40}, {0xA0}})},
      {"bmp_loader/4bit.bmp", MakeBmp(2, 1, 4, palette, {{0x13}})},
      {"bmp_loader/8bit_topdown.bmp", MakeBmp(2, -2, 8, palette, {{2, 0}, {1, 3}})},
      {"bmp_loader/16bit_565.bmp", MakeBmp(1, 1, 16, {}, {{0xE0, 0x07}}, 3, {0xF800, 0x07E0, 0x001F})},
      {"bmp_loader/24bit.bmp", MakeBmp(1, 2, 24, {}, {{1, 2, 3}, {4, 5, 6}})},
      {"bmp_loader/32bit.bmp", MakeBmp(2, 1, 32, {}, {{1, 2, 3, 0, 4, 5, 6, 0}})},
      {"png_loader/rgba.png", MakePng(3, 1, {255, 0, 0, 0, 0, 255, 0, 128, 0, 0, 255, 255}, true)},
      {"png_loader/rgb.png", MakePng(2, 2, std::vector<uint8_t>(16, 200), false)},
  };
  for (const auto& [name, bytes] : seeds) {
    const auto path = std::filesystem::path(dir) / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
}

}  // namespace
}  // namespace kest
