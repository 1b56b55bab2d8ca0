// Decoding a 1280 x 720 picture with alpha: from a Pexa file (deflated rows of
// colour and of alpha) against libpng reading the same pixels from a PNG
// deflated at the same zlib level, in one run. The last line prints the ratio
// (goal: 1 or less).
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "common/stream.h"
#include "imaging/pexa_frame_list.h"

namespace {

using namespace kest;

constexpr int32_t kWidth = 1280;
constexpr int32_t kHeight = 720;

// A photograph-like picture: gradients with grain, and an alpha that fades
// out towards the edges.
struct TPicture {
  TPicture() : Colour(kWidth, kHeight, 24), Alpha(kWidth, kHeight, 8) {
    std::mt19937 random(5);
    for (int32_t y = 0; y < kHeight; ++y) {
      uint8_t* c = Colour.ScanLine(y);
      uint8_t* a = Alpha.ScanLine(y);
      for (int32_t x = 0; x < kWidth; ++x) {
        const int grain = int(random() % 9) - 4;
        c[x * 3] = uint8_t(std::clamp(x * 255 / kWidth + grain, 0, 255));
        c[x * 3 + 1] = uint8_t(std::clamp(y * 255 / kHeight + grain, 0, 255));
        c[x * 3 + 2] = uint8_t(std::clamp((x + y) / 8 % 256 + grain, 0, 255));
        a[x] = uint8_t(std::min({x, y, kWidth - 1 - x, kHeight - 1 - y, 255}));
      }
    }
    TPexaFrameList list;
    TPexaFrame& frame = list.AddFrame();
    frame.Composite = TDIBX(kWidth, kHeight, 24);
    frame.Composite.Draw(0, 0, Colour, Colour.Bounds(), TBlit::None);
    frame.Alpha.emplace(kWidth, kHeight, 8);
    frame.Alpha->Draw(0, 0, Alpha, Alpha.Bounds(), TBlit::None);
    TByteStream out;
    SavePexa(list, out, TPexaWriteOptions());
    Pexa = out.TakeBytes();
    Png = EncodePng();
  }

  // RGBA rows at zlib level 1, the level Pexa files are deflated at.
  std::vector<uint8_t> EncodePng() const {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kWidth;
    image.height = kHeight;
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 4);
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x) {
        uint8_t* p = &pixels[(size_t(y) * kWidth + x) * 4];
        std::copy_n(Colour.ScanLine(y) + x * 3, 3, p);
        p[3] = Alpha.ScanLine(y)[x];
      }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<uint8_t> out;
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
          auto* o = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
          o->insert(o->end(), data, data + n);
        },
        nullptr);
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_bgr(png);
    png_write_info(png, info);
    for (int32_t y = 0; y < kHeight; ++y) png_write_row(png, &pixels[size_t(y) * kWidth * 4]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
  }

  TDIBX Colour;
  TDIBX Alpha;
  std::vector<uint8_t> Pexa;
  std::vector<uint8_t> Png;
};

TPicture& Picture() {
  static TPicture picture;
  return picture;
}

int64_t DecodePexa(const TPicture& p) {
  TPexaFrameList list;
  TByteStream in{std::span<const uint8_t>(p.Pexa)};
  list.LoadFromStream(in);
  return list.Frames(0).Composite.Width();
}

std::vector<uint8_t> GPngPixels(size_t(kWidth) * kHeight * 4);

int64_t DecodePng(const TPicture& p) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  png_image_begin_read_from_memory(&image, p.Png.data(), p.Png.size());
  image.format = PNG_FORMAT_BGRA;
  png_image_finish_read(&image, nullptr, GPngPixels.data(), 0, nullptr);
  return image.width;
}

void BM_PexaDecode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(DecodePexa(Picture()));
  state.counters["file_kib"] = double(Picture().Pexa.size()) / 1024;
}

void BM_PngDecode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(DecodePng(Picture()));
  state.counters["file_kib"] = double(Picture().Png.size()) / 1024;
}

void BM_Ratio(benchmark::State& state) {
  const TPicture& p = Picture();
  using TClock = std::chrono::steady_clock;
  double pexa = 0;
  double png = 0;
  for (auto _ : state) {
    for (int round = 0; round < 20; ++round) {
      auto t0 = TClock::now();
      benchmark::DoNotOptimize(DecodePexa(p));
      auto t1 = TClock::now();
      benchmark::DoNotOptimize(DecodePng(p));
      auto t2 = TClock::now();
      pexa += std::chrono::duration<double>(t1 - t0).count();
      png += std::chrono::duration<double>(t2 - t1).count();
    }
  }
  state.counters["ratio"] = pexa / png;
  std::printf("ratio Pexa decode / libpng decode = %.3f\n", pexa / png);
}

BENCHMARK(BM_PexaDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ratio)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
