#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/errors.h"
#include "common/stream.h"
#include "imaging/pexa_frame_list.h"
#include "imaging/pixel_access.h"

namespace kest {
namespace {

// A picture with structure: bands that repeat (so tiles share), a gradient,
// and for alpha a ramp with clear and opaque areas.
TDIBX Pattern(int32_t w, int32_t h, int bits, uint32_t seed) {
  TDIBX p(w, h, bits);
  if (bits <= 8) {
    std::vector<uint32_t> palette(size_t(1) << bits);
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = uint32_t(i * 0x010307 + seed);
    p.SetPaletteEntries(palette.data(), 0, int(palette.size()));
  }
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t colour = y < h / 2 ? uint32_t((x / 8) * 0x203040) : uint32_t(x * 0x010203 + y * 0x030201 + seed);
      p.SetPixel(x, y, bits <= 8 ? colour % (1u << bits) : uint32_t(p.ColorToPixel(colour & 0xFFFFFF)));
    }
  return p;
}

TDIBX Ramp(int32_t w, int32_t h) {
  TDIBX a(w, h, 8);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) a.ScanLine(y)[x] = uint8_t(x < 4 ? 0 : x > w - 4 ? 255 : (x * 37 + y) & 0xFF);
  return a;
}

std::vector<uint8_t> Save(TPexaFrameList& list, const TPexaWriteOptions& options) {
  TByteStream out;
  SavePexa(list, out, options);
  return out.TakeBytes();
}

TPexaFrameList Load(const std::vector<uint8_t>& bytes, uint32_t code, bool firstOnly = false) {
  TPexaFrameList list(code);
  TByteStream in{std::span<const uint8_t>(bytes)};
  list.LoadFromStream(in, firstOnly);
  return list;
}

void ExpectSamePixels(const TDIBX& a, const TDIBX& b) {
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x)
      ASSERT_EQ(a.PixelToColor(a.GetPixel(x, y)), b.PixelToColor(b.GetPixel(x, y))) << x << "," << y;
}

// JPEG is lossy: the mean difference of a channel, in levels of 255, over the
// pixels that show (alpha from 128 up, when there is an alpha).
double MeanError(const TDIBX& a, const TDIBX& b, const TDIBX* alpha = nullptr) {
  double sum = 0;
  int64_t count = 0;
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x) {
      if (alpha && alpha->ScanLine(y)[x] < 128) continue;
      ++count;
      const uint32_t ca = a.PixelToColor(a.GetPixel(x, y));
      const uint32_t cb = b.PixelToColor(b.GetPixel(x, y));
      for (int s = 0; s < 24; s += 8) sum += std::abs(int(ca >> s & 0xFF) - int(cb >> s & 0xFF));
    }
  return count ? sum / (3.0 * double(count)) : 0;
}

// The original frames, kept apart from the list the writer borrows them from.
struct TSample {
  std::vector<TDIBX> Colours;
  std::vector<std::optional<TDIBX>> Alphas;
};

TPexaFrameList Sample(int bits, int frames, TSample& kept) {
  TPexaFrameList list;
  for (int f = 0; f < frames; ++f) {
    TPexaFrame& frame = list.AddFrame();
    frame.Delay = 50 + f;
    // The second frame repeats the first frame's top half: tiles refer back.
    frame.Composite = Pattern(45, 30, bits, f == 0 ? 0 : 0x10);
    if (bits >= 24) frame.Alpha = Ramp(45, 30);
    kept.Colours.push_back(Pattern(45, 30, bits, f == 0 ? 0 : 0x10));
    kept.Alphas.push_back(bits >= 24 ? std::optional<TDIBX>(Ramp(45, 30)) : std::nullopt);
  }
  return list;
}

TEST(Pexa, EveryVariantReadsBackWhatWasWritten) {
  for (int bits : {4, 8, 16, 24, 32})
    for (auto compression : {TPexaCompression::Zlib, TPexaCompression::None})
      for (int tile : {0, 8})
        for (uint32_t code : {0u, 0x2468ACEu}) {
          SCOPED_TRACE(testing::Message()
                       << bits << " bits, compression " << int(compression) << ", tile " << tile << ", code " << code);
          TSample kept;
          TPexaFrameList list = Sample(bits, 2, kept);
          TPexaWriteOptions options;
          options.Compression = compression;
          options.TileWidth = options.TileHeight = tile;
          options.Code = code;
          const std::vector<uint8_t> bytes = Save(list, options);
          TPexaFrameList back = Load(bytes, code);
          ASSERT_EQ(back.Count(), 2);
          for (int f = 0; f < 2; ++f) {
            ExpectSamePixels(back.Frames(f).Composite, kept.Colours[size_t(f)]);
            EXPECT_EQ(back.Frames(f).Delay, 50 + f);
            ASSERT_EQ(back.Frames(f).Alpha.has_value(), kept.Alphas[size_t(f)].has_value());
            if (kept.Alphas[size_t(f)]) ExpectSamePixels(*back.Frames(f).Alpha, *kept.Alphas[size_t(f)]);
          }
          if (tile > 0 && compression == TPexaCompression::None) {
            options.ShareTiles = false;
            EXPECT_LT(bytes.size(), Save(list, options).size()) << "equal tiles are stored once";
          }
        }
}

TEST(Pexa, OlderVersionsRead) {
  for (int32_t version : {0, 100, 101, 102, 103, 104, 105}) {
    SCOPED_TRACE(version);
    TSample kept;
    TPexaFrameList list = Sample(24, 1, kept);
    list.BackgroundColor = 0x123456;
    TPexaWriteOptions options;
    options.Version = version;
    TPexaFrameList back = Load(Save(list, options), 0);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Version, version);
    ExpectSamePixels(back.Frames(0).Composite, kept.Colours[0]);
    EXPECT_EQ(back.Frames(0).Alpha.has_value(), version >= 100);
  }
}

TEST(Pexa, JpegColourWithinToleranceAlphaExact) {
  TSample kept;
  TPexaFrameList list = Sample(24, 1, kept);
  TPexaWriteOptions options;
  options.Compression = TPexaCompression::Jpeg;
  options.JpegQuality = 95;
  TPexaFrameList back = Load(Save(list, options), 0);
  // At quality 95 the colours stay within a few levels on average.
  EXPECT_LT(MeanError(back.Frames(0).Composite, kept.Colours[0]), 4.0);
  ExpectSamePixels(*back.Frames(0).Alpha, *kept.Alphas[0]);
}

// Real pictures with alpha from the icon themes Debian ships.
TEST(Pexa, IconThemePngsSurviveEveryVariant) {
  std::vector<std::filesystem::path> found;
  for (const char* dir : {"/usr/share/icons/Adwaita/48x48", "/usr/share/icons/Adwaita/256x256", "/usr/share/icons"}) {
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
         !ec && it != decltype(it)() && found.size() < 4; it.increment(ec))
      if (it->path().extension() == ".png") found.push_back(it->path());
    if (found.size() >= 4) break;
  }
  if (found.empty()) GTEST_SKIP() << "no icon theme with PNG pictures installed";
  for (const auto& path : found) {
    SCOPED_TRACE(path.string());
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)), {});
    TPexaFrameList original;
    original.LoadFromBytes(png, path.filename().string());
    ASSERT_EQ(original.Count(), 1);
    const TDIBX colour(std::move(original.Frames(0).Composite));
    const std::optional<TDIBX> alpha = std::move(original.Frames(0).Alpha);
    for (auto compression : {TPexaCompression::Zlib, TPexaCompression::None, TPexaCompression::Jpeg})
      for (int tile : {0, 16}) {
        TPexaFrameList list;
        TPexaFrame& frame = list.AddFrame();
        frame.Composite.SetSize(colour.Width(), colour.Height(), 24);
        frame.Composite.Draw(0, 0, colour, colour.Bounds(), TBlit::None);
        if (alpha) {
          frame.Alpha.emplace(alpha->Width(), alpha->Height(), 8);
          frame.Alpha->Draw(0, 0, *alpha, alpha->Bounds(), TBlit::None);
        }
        TPexaWriteOptions options;
        options.Compression = compression;
        options.TileWidth = options.TileHeight = tile;
        options.JpegQuality = 95;
        TPexaFrameList back = Load(Save(list, options), 0);
        if (compression == TPexaCompression::Jpeg)
          // Small icons are all sharp edges, which JPEG's halved chroma blurs.
          EXPECT_LT(MeanError(back.Frames(0).Composite, colour, alpha ? &*alpha : nullptr), 8.0);
        else
          ExpectSamePixels(back.Frames(0).Composite, colour);
        ASSERT_EQ(back.Frames(0).Alpha.has_value(), alpha.has_value());
        if (alpha) ExpectSamePixels(*back.Frames(0).Alpha, *alpha);
      }
  }
}

// Two layers over a black background: the lower opaque, the upper at an opacity.
TPexaFrameList Layered(int bits, int32_t opacity, uint32_t upper) {
  TPexaFrameList list;
  TPexaFrame& frame = list.AddFrame();
  for (uint32_t colour : {0u, upper}) {
    TPexaLayer& layer = frame.Layers.emplace_back();
    layer.Picture.SetSize(4, 4, bits);
    if (bits <= 8) {
      const uint32_t palette[2] = {0, 0xFFFFFF};
      layer.Picture.SetPaletteEntries(palette, 0, 2);
    }
    layer.Picture.Fill(bits <= 8 ? (colour ? 1 : 0) : uint32_t(layer.Picture.ColorToPixel(colour)));
  }
  frame.Layers[1].Opacity = opacity;
  return list;
}

TEST(Pexa, OpacityArithmeticDependsOnTheBitCount) {
  TPexaWriteOptions options;
  auto red = [&](int bits, int32_t opacity, uint32_t upper) {
    TPexaFrameList list = Layered(bits, opacity, upper);
    TPexaFrameList back = Load(Save(list, options), 0);
    return back.Frames(0).Composite.PixelToColor(back.Frames(0).Composite.GetPixel(1, 1)) & 0xFF;
  };
  EXPECT_EQ(red(24, 128, 0xFFFFFF), 128u);
  EXPECT_EQ(red(32, 128, 0xFFFFFF), 127u);
  // Palette pictures dither: at 128 the cells 0 to 8 of the 4 x 4 matrix show.
  TPexaFrameList list = Layered(8, 128, 0xFFFFFF);
  TPexaFrameList back = Load(Save(list, options), 0);
  int shown = 0;
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) shown += back.Frames(0).Composite.GetPixel(x, y) == 1;
  EXPECT_EQ(shown, 9);
}

TEST(Pexa, ProtectionFirstFrameAndDamage) {
  TSample kept;
  TPexaFrameList list = Sample(24, 2, kept);
  TPexaWriteOptions options;
  options.Code = 77;
  const std::vector<uint8_t> bytes = Save(list, options);
  // Another code puts the rows in another order, quietly.
  TPexaFrameList wrong = Load(bytes, 78);
  EXPECT_FALSE(wrong.Frames(0).Composite.GetPixel(0, 29) == kept.Colours[0].GetPixel(0, 29) &&
               wrong.Frames(0).Composite.GetPixel(0, 0) == kept.Colours[0].GetPixel(0, 0) &&
               wrong.Frames(0).Composite.GetPixel(0, 20) == kept.Colours[0].GetPixel(0, 20));
  EXPECT_EQ(Load(bytes, 77, true).Count(), 1);
  // A file cut short in its second frame raises, keeping the first, which
  // it read whole.
  const std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 40);
  TPexaFrameList partial(77);
  TByteStream in{std::span<const uint8_t>(cut)};
  EXPECT_THROW(partial.LoadFromStream(in), EReadError);
  EXPECT_EQ(partial.Count(), 1);
  EXPECT_THROW(partial.Frames(5), EKestError);
}

TEST(Pexa, CapturesAndTrim) {
  TPexaFrameList capture;
  TPexaFrame& shot = capture.AddFrame();
  shot.Composite.SetSize(2, 1, 24);
  TByteStream out;
  SavePexaCapture(capture, out, TPexaCompression::None, 70);
  EXPECT_EQ(out.Bytes().size(), 135u);

  TPexaFrame frame;
  frame.Composite.SetSize(30, 20, 24);
  frame.TransparentPixel = 0;
  frame.Composite.FillRect(TRect{5, 3, 21, 10}, 0xFFFFFF);
  frame.DrawRects = {TRect{0, 0, 10, 10}, TRect{25, 15, 30, 20}};
  EXPECT_EQ(frame.Trim(), (TRect{5, 3, 21, 10}));
  EXPECT_EQ(frame.Composite.Width(), 16);
  EXPECT_EQ(frame.Composite.Height(), 7);
  EXPECT_EQ(frame.DrawRects, (std::vector<TRect>{TRect{0, 0, 5, 7}}));
}

TEST(Pexa, TrimLeavesAnEmptyFrameEmpty) {
  TPexaFrame keyed;
  keyed.Composite.SetSize(0, 0, 24);
  keyed.TransparentPixel = 0;
  TPexaFrame alpha;
  alpha.Composite.SetSize(0, 0, 32);
  alpha.Alpha.emplace(0, 0, 8);
  for (TPexaFrame* frame : {&keyed, &alpha}) {
    EXPECT_TRUE(frame->Trim().IsEmpty());
    EXPECT_TRUE(frame->Composite.IsEmpty());
  }
  EXPECT_TRUE(alpha.Alpha->IsEmpty());
}

}  // namespace
}  // namespace kest
