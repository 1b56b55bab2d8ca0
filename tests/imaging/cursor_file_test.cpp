#include "imaging/cursor_file.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "picture_builders.h"
#include "support/cursor_files.h"

namespace kest {
namespace {

using test::CursorBmp;
using test::DotCursor;
using test::MakeAni;
using test::MakeCur;

std::vector<uint32_t> StepsOf(const TCursorFile& file) {
  std::vector<uint32_t> out;
  for (const TCursorStep& s : file.Steps()) out.push_back(uint32_t(s.Frame) << 16 | s.Jiffies);
  return out;
}

TEST(CursorFile, ReadsEveryEntryKindAndTheStepsOfAnAnimation) {
  // Of three entries the largest up to 64 wide, though the first is smaller
  // and the last would not even read.
  const std::vector<uint32_t> palette{0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  const TCursorFile eight(std::span<const uint8_t>(MakeCur({
      {4, 2, 1, 1, CursorBmp(4, 2, 4, palette, {{0x11, 0x11}, {0x11, 0x11}}, {})},
      {8, 2, 7, 1, CursorBmp(8, 2, 8, palette, {{0, 1, 2, 3, 0, 1, 0, 3}, {3, 3, 3, 3, 3, 3, 3, 3}}, {"00000011"})},
      {0, 0, 0, 0, {1, 2, 3}},
  })));
  ASSERT_EQ(eight.Frames().size(), 1u);
  const TCursorFrame& f = eight.Frames()[0];
  EXPECT_EQ(f.Width, 8);
  EXPECT_EQ(f.Height, 2);
  EXPECT_EQ(f.HotX, 7);
  EXPECT_EQ(f.HotY, 1);
  EXPECT_EQ(f.Pixels[1], 0xFFFF0000u) << "palette red, opaque";
  EXPECT_EQ(f.Pixels[3], 0xFF0000FFu);
  EXPECT_EQ(f.Pixels[6], 0u) << "the AND mask makes black transparent";
  EXPECT_EQ(f.Pixels[7], 0xFF000000u) << "and would invert the screen under blue";
  EXPECT_EQ(f.Pixels[8], 0xFF0000FFu) << "the second row from the top";
  EXPECT_FALSE(eight.Animated());
  EXPECT_EQ(StepsOf(eight), std::vector<uint32_t>{1});

  // One bit: the mask's transparent pixels with a set colour bit would
  // invert the screen, which a colour cursor shows black.
  const TCursorFile mono(std::span<const uint8_t>(
      MakeCur({{2, 2, 0, 0, CursorBmp(2, 2, 1, {0x000000, 0xFFFFFF}, {{0x40}, {0x40}}, {"00", "11"})}})));
  EXPECT_EQ(mono.Frames()[0].Pixels, (std::vector<uint32_t>{0xFF000000u, 0xFFFFFFFFu, 0u, 0xFF000000u}));

  // 32 bits: its alpha where any is set, else the mask's.
  const TCursorFile alpha(std::span<const uint8_t>(
      MakeCur({{2, 1, 0, 0, CursorBmp(2, 1, 32, {}, {{0x33, 0x22, 0x11, 0x80, 4, 5, 6, 0}}, {"11"})}})));
  EXPECT_EQ(alpha.Frames()[0].Pixels, (std::vector<uint32_t>{0x80112233u, 0x00060504u}));
  const TCursorFile masked(std::span<const uint8_t>(
      MakeCur({{2, 1, 0, 0, CursorBmp(2, 1, 32, {}, {{0x33, 0x22, 0x11, 0, 0, 0, 0, 0}}, {"01"})}})));
  EXPECT_EQ(masked.Frames()[0].Pixels, (std::vector<uint32_t>{0xFF112233u, 0u}));

  // A PNG entry of an icon, whose hot spot is its centre.
  const std::vector<uint8_t> rgba{255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 9, 9, 9, 255};
  const TCursorFile png(std::span<const uint8_t>(MakeCur({{2, 2, 1, 1, test::MakePng(2, 2, rgba, true)}}, 1)));
  EXPECT_EQ(png.Frames()[0].Pixels, (std::vector<uint32_t>{0xFFFF0000u, 0x8000FF00u, 0x000000FFu, 0xFF090909u}));
  EXPECT_EQ(png.Frames()[0].HotX, 1);
  EXPECT_EQ(png.Frames()[0].HotY, 1);

  // Frames in order at the default rate; then with a rate and a sequence.
  const std::vector<std::vector<uint8_t>> dots{DotCursor(0x0000FF), DotCursor(0xFF0000)};
  const TCursorFile plain(std::span<const uint8_t>(MakeAni(dots, 2, 5)));
  ASSERT_EQ(plain.Frames().size(), 2u);
  EXPECT_EQ(plain.Frames()[1].Pixels[0], 0xFFFF0000u);
  EXPECT_TRUE(plain.Animated());
  EXPECT_EQ(StepsOf(plain), (std::vector<uint32_t>{0x00005, 0x10005}));
  const TCursorFile sequenced(std::span<const uint8_t>(MakeAni(dots, 3, 5, {0, 2, 3}, {1, 0, 1})));
  EXPECT_EQ(StepsOf(sequenced), (std::vector<uint32_t>{0x10001, 0x00002, 0x10003})) << "no step lasts no time";

  for (const auto& [bytes, is] : std::vector<std::pair<std::vector<uint8_t>, bool>>{{DotCursor(0), true},
                                                                                    {dots[0], true},
                                                                                    {MakeAni(dots, 2, 5), true},
                                                                                    {{'B', 'M', 0, 0, 0, 0}, false},
                                                                                    {{0, 0, 2, 0, 0, 0}, false},
                                                                                    {{0, 0, 3, 0, 1, 0}, false}})
    EXPECT_EQ(TCursorFile::Recognises(bytes), is);
}

TEST(CursorFile, RefusesDamagedFiles) {
  const std::vector<uint8_t> good = DotCursor(0x123456);
  auto lie = [](std::vector<uint8_t> b, size_t at, uint32_t v) {
    for (int i = 0; i < 4 && at + i < b.size(); ++i) b[at + i] = uint8_t(v >> (8 * i));
    return b;
  };
  const std::vector<std::vector<uint8_t>> dots{DotCursor(0), DotCursor(1)};
  const std::vector<uint8_t> ani = MakeAni(dots, 2, 5);
  const std::vector<uint8_t> seq = MakeAni(dots, 2, 5, {}, {0, 7});
  // anih sits at 12: its frame count at 24, its step count at 28.
  const std::vector<std::pair<const char*, std::vector<uint8_t>>> bad{
      {"truncated", std::vector<uint8_t>(good.begin(), good.end() - 1)},
      {"a count that lies", lie(good, 4, 5)},
      {"an entry past the end", lie(good, 18, 4000)},
      {"a huge width", lie(good, 22 + 4, 300)},
      {"a huge height", lie(good, 22 + 8, 0x7FFFFFFE)},
      {"a palette past the end", lie(MakeCur({{1, 1, 0, 0, CursorBmp(1, 1, 8, {0}, {{0}}, {})}}), 22 + 32, 200)},
      {"an unknown bit count", lie(good, 22 + 14, 7)},
      {"compressed", lie(good, 22 + 16, 1)},
      {"frames missing", lie(ani, 24, 3)},
      {"a frame count no file holds", lie(ani, 24, 0x7FFFFFFF)},
      {"no frames", lie(ani, 24, 0)},
      {"steps the sequence lacks", lie(seq, 28, 3)},
      {"a sequence naming no frame", seq},
      {"a chunk longer than the file", lie(ani, 16, 0x7FFFFFF0)},
      {"raw frames", lie(ani, 52, 0)},
      {"an animation cut short", std::vector<uint8_t>(ani.begin(), ani.begin() + 60)},
  };
  for (const auto& [what, bytes] : bad) EXPECT_THROW(TCursorFile(std::span<const uint8_t>(bytes)), EReadError) << what;
}

}  // namespace
}  // namespace kest
