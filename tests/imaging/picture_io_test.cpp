#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <zlib.h>

#include "common/errors.h"
#include "common/stream.h"
#include "imaging/dibx.h"
#include "imaging/pexa_frame_list.h"
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
  // A literal run of five indices with two bytes left; a 16384 x 16384 claim
  // in four bytes of codes.
  auto rle = MakeBmp(1, 1, 8, {0}, {{0x00, 0x05, 0x01, 0x00}}, 1);
  auto rleHuge = MakeBmp(1, 1, 8, {0}, {{0x00, 0x00, 0x00, 0x01}}, 1);
  test::Put32(rleHuge, 18, 16384);
  test::Put32(rleHuge, 22, 16384);
  auto png = MakePng(2, 2, std::vector<uint8_t>(16, 9), false);
  png[17] = 0x01;  // width 0x10002 in the header chunk, with its checksum mended
  const uLong crc = crc32(0, png.data() + 12, 17);
  for (int i = 0; i < 4; ++i) png[29 + i] = uint8_t(crc >> (24 - 8 * i));
  auto pngTruncated = MakePng(8, 8, std::vector<uint8_t>(256, 7), true);
  pngTruncated.resize(pngTruncated.size() / 2);
  for (const auto* bytes : {&huge, &truncated, &overflow, &rle, &rleHuge, &png, &pngTruncated}) {
    TDIBX s(1, 1, 32);
    TByteStream stream(std::span<const uint8_t>(bytes->data(), bytes->size()));
    EXPECT_THROW(s.LoadFromStream(stream), EReadError);
  }
}

// A BMP picture as a game file; colours are read back as 0xBBGGRR.
TPexaFrame& BmpFrame(TPexaFrameList& list, const std::vector<uint8_t>& bytes) {
  list.LoadFromBytes(bytes, "pic.BMP");
  EXPECT_EQ(list.Count(), 1);
  return list.Frames(0);
}

uint32_t Colour(const TDIBX& c, int32_t x, int32_t y) { return c.PixelToColor(c.GetPixel(x, y)); }

// Run-length codes after a palette (MakeBmp's pixel rows replaced by them).
std::vector<uint8_t> RleBmp(int32_t width, int32_t height, int bits, const std::vector<uint8_t>& codes) {
  const std::vector<uint32_t> palette{0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
  std::vector<uint8_t> b =
      MakeBmp(width, height, bits, palette, std::vector<std::vector<uint8_t>>(size_t(height), {0}), bits == 8 ? 1 : 2);
  b.resize(54 + palette.size() * 4);
  b.insert(b.end(), codes.begin(), codes.end());
  return b;
}

TEST(PictureIo, RunLengthBmpsDecodeInsideThePicture) {
  // Bottom row: a run of 6 cut at the edge. Next: a literal run of 3 (padded),
  // then a jump one right and one up to the right edge, where a run of 1 is
  // cut; the end. The top row stays index 0.
  TPexaFrameList list;
  const TDIBX& c = BmpFrame(list, RleBmp(4, 3, 8, {6, 1, 0, 0, 0, 3, 2, 3, 1, 0, 0, 2, 1, 1, 1, 2, 0, 1})).Composite;
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(Colour(c, x, 2), 0xFF0000u) << x;
  EXPECT_EQ(Colour(c, 0, 1), 0x00FF00u);
  EXPECT_EQ(Colour(c, 1, 1), 0x0000FFu);
  EXPECT_EQ(Colour(c, 2, 1), 0xFF0000u);
  EXPECT_EQ(Colour(c, 3, 1), 0u);
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(Colour(c, x, 0), 0u) << x;
  // 4 bits: a run of alternating 1 and 2, a literal run of 3, 1, 2.
  TPexaFrameList four;
  const TDIBX& f = BmpFrame(four, RleBmp(8, 1, 4, {5, 0x12, 0, 3, 0x31, 0x20, 0, 1})).Composite;
  const uint32_t want[8] = {0xFF0000, 0x00FF00, 0xFF0000, 0x00FF00, 0xFF0000, 0x0000FF, 0xFF0000, 0x00FF00};
  for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(Colour(f, x, 0), want[x]) << x;
}

// One row of 32-bit pixels after a header of the given size with bit fields.
std::vector<uint8_t> FieldsBmp(uint32_t infoSize, const std::vector<uint32_t>& masks,
                               const std::vector<uint32_t>& pixels) {
  const size_t at = 14 + infoSize;
  std::vector<uint8_t> b(at + 4 * pixels.size(), 0);
  b[0] = 'B';
  b[1] = 'M';
  test::Put32(b, 2, uint32_t(b.size()));
  test::Put32(b, 10, uint32_t(at));
  test::Put32(b, 14, infoSize);
  test::Put32(b, 18, uint32_t(pixels.size()));
  test::Put32(b, 22, 1);
  b[26] = 1;
  b[28] = 32;
  test::Put32(b, 30, 3);
  for (size_t i = 0; i < masks.size(); ++i) test::Put32(b, 54 + 4 * i, masks[i]);
  for (size_t i = 0; i < pixels.size(); ++i) test::Put32(b, at + 4 * i, pixels[i]);
  return b;
}

TEST(PictureIo, BmpPicturesHaveAlphaOnlyWhereTheFileGivesIt) {
  {
    SCOPED_TRACE("24 bits");
    TPexaFrameList list;
    TPexaFrame& frame = BmpFrame(list, MakeBmp(2, 1, 24, {}, {{1, 2, 3, 4, 5, 6}}));
    EXPECT_FALSE(frame.Alpha.has_value());
    EXPECT_EQ(Colour(frame.Composite, 1, 0), 0x040506u);
  }
  {
    SCOPED_TRACE("version 5, alpha in the high byte");
    TPexaFrameList list;
    TPexaFrame& frame =
        BmpFrame(list, FieldsBmp(124, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {0x80030201, 0xFF060504, 0x00070809}));
    ASSERT_TRUE(frame.Alpha.has_value());
    EXPECT_EQ(Colour(frame.Composite, 0, 0), 0x010203u);
    EXPECT_EQ(frame.Alpha->ScanLine(0)[0], 0x80);
    EXPECT_EQ(frame.Alpha->ScanLine(0)[1], 0xFF);
    EXPECT_EQ(frame.Alpha->ScanLine(0)[2], 0x00);
  }
  {
    SCOPED_TRACE("version 4, red low and alpha in 4 bits");
    TPexaFrameList list;
    TPexaFrame& frame = BmpFrame(list, FieldsBmp(108, {0xFF, 0xFF00, 0xFF0000, 0xF0000000}, {0xA0332211}));
    ASSERT_TRUE(frame.Alpha.has_value());
    EXPECT_EQ(Colour(frame.Composite, 0, 0), 0x332211u);
    EXPECT_EQ(frame.Alpha->ScanLine(0)[0], 0xAA);
  }
  for (uint32_t infoSize : {52u, 56u}) {
    SCOPED_TRACE("no alpha mask, or alpha 0 throughout: opaque");
    TPexaFrameList list;
    TPexaFrame& frame = BmpFrame(list, FieldsBmp(infoSize, {0xFF0000, 0xFF00, 0xFF, infoSize == 56 ? 0xFF000000 : 0},
                                                 {infoSize == 56 ? 0x00030201u : 0x5A030201u}));
    EXPECT_FALSE(frame.Alpha.has_value()) << infoSize;
    EXPECT_EQ(Colour(frame.Composite, 0, 0), 0x010203u);
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
      {"bmp_loader/rle8.bmp", RleBmp(4, 3, 8, {6, 1, 0, 0, 0, 3, 2, 3, 1, 0, 0, 2, 1, 1, 1, 2, 0, 1})},
      {"bmp_loader/rle4.bmp", RleBmp(8, 2, 4, {5, 0x12, 0, 3, 0x31, 0x20, 0, 0, 0, 2, 2, 0, 3, 0x21, 0, 1})},
      {"bmp_loader/v5_alpha.bmp", FieldsBmp(124, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {0x80030201, 0xFF060504})},
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
