#include "text/label_list.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "imaging/dibx.h"
#include "text/decorate.h"
#include "text/font_pixel_manager.h"

namespace kest {
namespace {

// Boxes, but "f" leans 3 pixels into whatever follows it.
struct TLeaningFonts : TFakeFontBackend {
  int32_t AbcCalls = 0;
  TAbcWidths Abc(const TFontRequest& font, uint16_t code) override {
    ++AbcCalls;
    TAbcWidths abc = TFakeFontBackend::Abc(font, code);
    if (code == 'f') abc.C -= 3;
    return abc;
  }
};

struct Captions : ::testing::Test {
  TLeaningFonts backend;
  TFontPixelManager fonts{backend};
  TTpLabelList list;

  Captions() { list.Fonts = &fonts; }

  std::vector<uint8_t> Saved() { return SavedOf(list); }
  static std::vector<uint8_t> SavedOf(TTpLabelList& captions) {
    TByteStream out;
    captions.SaveToStream(out);
    return out.TakeBytes();
  }
};

uint32_t Crc(const TDIBX& surface) {
  uLong crc = 0;
  for (int32_t y = 0; y < surface.Height(); ++y)
    crc = crc32(crc, surface.ScanLine(y), uInt(surface.Width() * surface.BitCount() / 8));
  return uint32_t(crc);
}

int32_t IntAt(const std::vector<uint8_t>& bytes, size_t at) {
  return int32_t(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t(bytes[at + 3]) << 24);
}

TEST_F(Captions, WidthsCountOutlineShadowAndOnlyTheLastCharactersOwnC) {
  list.Add(Utf8ToCp932("あf"));
  list.Add("ff");
  list.Add("");
  list.MeasureLabels();
  // Size 12 boxes: あ is 1 + 10 + 1, f is 1 + 5 - 3 (its C kept only last).
  EXPECT_EQ(list.Label(0)->Height, 12);
  EXPECT_EQ(list.Label(0)->CharWidths, (std::vector<int32_t>{12, 6}));
  EXPECT_EQ(list.Label(1)->CharWidths, (std::vector<int32_t>{3, 6}));
  EXPECT_EQ(list.Label(2)->Width, 0);

  list.OutlineWidth = 2;
  list.ShadowOffset = 3;
  backend.AbcCalls = 0;
  list.MeasureLabels();
  EXPECT_EQ(backend.AbcCalls, 2) << "each character code is asked once per pass";
  EXPECT_EQ(list.Label(0)->Height, 12 + 4 + 3);
  EXPECT_EQ(list.Label(0)->CharWidths, (std::vector<int32_t>{19, 13}));
  EXPECT_EQ(list.Label(1)->Width, 10 + 13);
  EXPECT_EQ(list.MaxWidth(), 32);

  list.SetText(1, "fff");
  EXPECT_TRUE(list.Label(1)->Dirty);
  list.RenderLabel(1);
  EXPECT_EQ(list.Label(1)->Width, 10 + 10 + 13) << "a new text is measured before it is rendered";
  EXPECT_EQ(list.Label(1)->Coverage.Width(), 33);
  EXPECT_EQ(list.Label(1)->Coverage.Height(), 19);
  EXPECT_FALSE(list.Label(1)->Dirty);
  list.SetText(7, "nothing there");
  list.DrawLabel(7, 0, 0);
}

TEST_F(Captions, DrawnCaptionsAreTheSameOnEveryMachine) {
  TDIBX target(120, 44, 32);
  target.Fill(0x203040);
  list.Target = &target;
  list.OutlineWidth = 1;
  list.ShadowOffset = 1;
  list.OutlineColor = 0x0000FF;
  list.ShadowColor = 0x101010;
  list.Style = kStyleUnderline;
  list.Add(Utf8ToCp932("あいab"));
  list.MeasureLabels();
  list.DrawLabel(0, 2, 2);
  list.Alpha = 128;
  list.DrawLabel(0, 2, 22);

  TTpLabelList plain;
  plain.Fonts = &fonts;
  plain.Target = &target;
  plain.FontColor = 0x00FF00;
  plain.Alpha = 160;
  plain.Add(Utf8ToCp932("漢字"));
  plain.DrawLabel(0, 70, 22);
  EXPECT_EQ(Crc(target), 2726920037u) << "outlined and shadowed with an underline, faded, and a plain green caption";

  TDIBX deep(40, 20, 16);
  list.Target = &deep;
  list.RenderLabel(0);
  EXPECT_EQ(list.Label(0)->Colours.BitCount(), 16) << "a target of another depth renders again";
}

TEST_F(Captions, RecordsRoundTripAcrossVersions) {
  list.AntiAlias = 2;
  list.OutlineWidth = 2;
  list.Alpha = 200;
  list.FontSize = 16;
  list.FontColor = 0x112233;
  list.OutlineColor = 0x445566;
  list.Style = kStyleBold | kStyleUnderline;
  list.ShadowOffset = 3;
  list.ShadowColor = 0x778899;
  const std::vector<uint8_t> bytes = Saved();
  const size_t block = 4 * 4 + 4 + kLabelFontName.size() + 4 + 4 + 1;
  ASSERT_EQ(bytes.size(), block + 212 + 8);
  EXPECT_EQ(IntAt(bytes, block), 212);
  EXPECT_EQ(IntAt(bytes, block + 4), 16) << "the text height";
  EXPECT_EQ(IntAt(bytes, block + 8), 14) << "the ascent";
  EXPECT_EQ(IntAt(bytes, block + 32), 700) << "bold";
  EXPECT_EQ(bytes[block + 53], 0xFF) << "underlined";
  EXPECT_EQ(bytes[block + 56], 128) << "Shift-JIS";
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + long(block) + 60, bytes.begin() + long(block) + 212),
            std::vector<uint8_t>(152, 0));

  TTpLabelList now;
  now.Fonts = &fonts;
  now.Add(Utf8ToCp932("あ"));
  TByteStream in(bytes);
  now.LoadFromStream(in, 122);
  EXPECT_EQ(in.Remaining(), 0);
  EXPECT_EQ(now.AntiAlias, 2);
  EXPECT_EQ(now.FontName, kLabelFontName);
  EXPECT_EQ(now.Style, kStyleBold | kStyleUnderline);
  EXPECT_EQ(now.ShadowColor, 0x778899);
  EXPECT_EQ(SavedOf(now), bytes) << "nothing lost";
  // Bold boxes at 16: 1 + 15 + 0, plus outline and shadow.
  EXPECT_EQ(now.Label(0)->Width, 16 + 4 + 3) << "measured again in the font read";
  EXPECT_EQ(now.Label(0)->Height, 16 + 4 + 3);

  TTpLabelList older;
  TByteStream before(std::vector<uint8_t>(bytes.begin(), bytes.end() - 8));
  older.LoadFromStream(before, 121);
  EXPECT_EQ(before.Remaining(), 0) << "no shadow before 122";
  EXPECT_EQ(older.ShadowOffset, 0);
  EXPECT_EQ(older.FontSize, 16);
  EXPECT_EQ(older.AntiAlias, 2);

  std::vector<uint8_t> smooth(bytes.begin(), bytes.end() - 8);
  TByteStream asSmooth(smooth);
  older.LoadFromStream(asSmooth, 108);
  EXPECT_EQ(older.AntiAlias, 3) << "before 109 any level above 1 meant smooth";
  smooth[0] = 1;
  TByteStream asSharp(smooth);
  older.LoadFromStream(asSharp, 108);
  EXPECT_EQ(older.AntiAlias, 0);
}

TEST_F(Captions, DamagedRecordsAreRefusedAndChangeNothing) {
  list.FontSize = 20;
  const std::vector<uint8_t> bytes = Saved();
  for (size_t n = 0; n < bytes.size(); ++n) {
    TTpLabelList victim;
    TByteStream in(std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(n)));
    EXPECT_THROW(victim.LoadFromStream(in, 122), EReadError) << "cut at " << n;
    EXPECT_EQ(victim.FontSize, 12);
  }
  auto withIntAt = [&](size_t at, int32_t value) {
    std::vector<uint8_t> damaged = bytes;
    for (size_t i = 0; i < 4; ++i) damaged[at + i] = uint8_t(uint32_t(value) >> (8 * i));
    return damaged;
  };
  for (const auto& [at, value] : std::vector<std::pair<size_t, int32_t>>{
           {12, 0x7FFFFFF}, {12, -1}, {4, -1}, {4, 100000}, {bytes.size() - 8, 1 << 20}}) {
    TByteStream in(withIntAt(at, value));
    EXPECT_THROW(list.LoadFromStream(in, 122), EReadError) << "field at " << at << " = " << value;
  }
  // A button made without a font height keeps size 0, and its saved game loads.
  TByteStream unsized(withIntAt(12, 0));
  list.LoadFromStream(unsized, 122);
  EXPECT_EQ(list.FontSize, 0);
}

}  // namespace
}  // namespace kest
