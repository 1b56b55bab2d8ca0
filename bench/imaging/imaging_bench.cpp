// The per-frame blits on 32-bit surfaces at two screen sizes, each measured
// beside pixman's nearest operation and beside a memcpy of the bytes the blit
// must move, in the same run; a table of MPix/s and ratios ends the output.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "imaging/dibx.h"

#ifdef KEST_BENCH_PIXMAN
#include <pixman.h>
#endif

namespace {

using namespace kest;

struct TSize {
  int32_t W, H;
};
constexpr TSize kSizes[] = {{1280, 720}, {800, 600}};
const char* const kOps[] = {"Draw", "DrawAlpha", "DrawMask", "DrawSprite", "DrawAdd",
                            "Fill", "Stretch2x", "Rotate30", "Ink"};

// Everything one size needs, built once: a screen, a picture with a colour key
// on about one pixel in eight, an 8-bit mask of mixed levels and half-size
// pictures for the stretch and the rotation. For pixman, whose nearest
// operation to a keyed draw is OVER with a source that is either opaque or
// clear, the picture again with alpha 0 at the key and 255 elsewhere. Text
// ink: a 1-bit sheet of glyphs at four times the screen's size, and for
// pixman, which takes coverage rather than samples, the 8-bit coverage the
// sheet gives.
struct TScene {
  TDIBX Screen, Picture, Mask, Half, KeyAlpha, Glyphs, Coverage, SpriteMask;
  explicit TScene(TSize s)
      : Screen(s.W, s.H, 32),
        Picture(s.W, s.H, 32),
        Mask(s.W, s.H, 8),
        Half(s.W / 2, s.H / 2, 32),
        KeyAlpha(s.W, s.H, 32),
        Glyphs(s.W * 4, s.H * 4, 1),
        Coverage(s.W, s.H, 8),
        SpriteMask(s.W, s.H, 8) {
    std::mt19937 rng(7);
    for (int32_t y = 0; y < s.H; ++y)
      for (int32_t x = 0; x < s.W; ++x) {
        Screen.SetPixel(x, y, rng() & 0xFFFFFF);
        Picture.SetPixel(x, y, (rng() & 7) == 0 ? 0x00FF00 : rng() & 0xFFFFFF);
        const uint32_t r = rng() & 3;
        Mask.SetPixel(x, y, r == 0 ? 0 : r == 1 ? 255 : rng() & 0xFF);
        if (x < s.W / 2 && y < s.H / 2) Half.SetPixel(x, y, rng() & 0xFFFFFF);
      }
    Picture.TransparentPixel = 0x00FF00;
    for (int32_t y = 0; y < s.H; ++y) {
      const auto* from = reinterpret_cast<const uint32_t*>(Picture.ScanLine(y));
      auto* to = reinterpret_cast<uint32_t*>(KeyAlpha.ScanLine(y));
      for (int32_t x = 0; x < s.W; ++x) to[x] = from[x] == 0x00FF00 ? 0 : from[x] | 0xFF000000u;
    }
    // Sprites: discs opaque inside, clear outside, with a soft rim.
    for (int32_t y = 0; y < s.H; ++y)
      for (int32_t x = 0; x < s.W; ++x) {
        const double dx = (x % 160) - 80.0, dy = (y % 160) - 80.0;
        const double edge = 70.0 - std::sqrt(dx * dx + dy * dy);
        SpriteMask.SetPixel(x, y, uint32_t(std::clamp(edge * 64.0, 0.0, 255.0)));
      }
    // Strokes and background in runs, as glyphs have them.
    for (int32_t y = 0; y < Glyphs.Height(); ++y) {
      uint8_t* row = Glyphs.ScanLine(y);
      for (int32_t b = 0; b < (Glyphs.Width() + 7) / 8; ++b) row[b] = (rng() & 3) == 0 ? uint8_t(rng()) : 0xFF;
    }
    for (int32_t y = 0; y < s.H; ++y)
      for (int32_t x = 0; x < s.W; ++x) {
        int ink = 0;
        for (int32_t yy = 0; yy < 4; ++yy)
          for (int32_t xx = 0; xx < 4; ++xx) ink += Glyphs.GetPixel(4 * x + xx, 4 * y + yy) == 0;
        Coverage.SetPixel(x, y, uint32_t(std::min(255, ink * 16)));
      }
  }
};

TScene& SceneFor(TSize s) {
  static std::map<int32_t, std::unique_ptr<TScene>> scenes;
  auto& scene = scenes[s.W];
  if (!scene) scene = std::make_unique<TScene>(s);
  return *scene;
}

// Pixels written per run of each operation.
int64_t PixelsOf(const std::string& op, TSize s) {
  if (op == "Rotate30") return int64_t(s.W / 2) * (s.H / 2);
  return int64_t(s.W) * s.H;
}

void RunKest(const std::string& op, TScene& c) {
  const TRect whole = c.Picture.Bounds();
  const int32_t w = c.Screen.Width(), h = c.Screen.Height();
  if (op == "Draw") c.Screen.Draw(0, 0, c.Picture, whole, TBlit::Transparent);
  if (op == "DrawAlpha") c.Screen.DrawAlpha(0, 0, c.Picture, whole, TBlit::None, 128);
  if (op == "DrawMask") c.Screen.DrawMask(0, 0, c.Picture, whole, TBlit::None, c.Mask);
  if (op == "DrawSprite") c.Screen.DrawMask(0, 0, c.Picture, whole, TBlit::None, c.SpriteMask);
  if (op == "DrawAdd") c.Screen.DrawAdd(0, 0, c.Picture, whole, TBlit::None, 200);
  if (op == "Fill") c.Screen.FillRect(c.Screen.Bounds(), 0x336699);
  if (op == "Stretch2x") c.Screen.StretchDraw(c.Screen.Bounds(), c.Half, c.Half.Bounds(), TBlit::None, 255);
  if (op == "Ink") c.Screen.DrawMono(0, 0, c.Glyphs, c.Glyphs.Bounds(), 0x203040, TBlit::None, 255, 4);
  if (op == "Rotate30")
    c.Screen.DrawRotate(w / 2, h / 2, c.Half, c.Half.Bounds(), w / 4, h / 4, 30 * 256 / 360, 256, 256, TBlit::None,
                        255);
}

// The bytes each operation must read per pixel (source, destination when it
// blends, mask); a memcpy of that many bytes per pixel is its bound. Fills and
// copies move four.
int BytesPerPixel(const std::string& op) {
  if (op == "DrawAlpha" || op == "DrawAdd") return 8;
  if (op == "DrawMask" || op == "DrawSprite") return 9;
  if (op == "Ink") return 6;  // two bytes of samples and the pixel
  return 4;
}

struct TCopyBuffers {
  std::vector<uint8_t> From, To;
};

TCopyBuffers& BuffersFor(size_t bytes) {
  static std::map<size_t, TCopyBuffers> buffers;
  TCopyBuffers& b = buffers[bytes];
  if (b.From.empty()) b.From.assign(bytes, 1), b.To.assign(bytes, 0);
  return b;
}

void RunMemcpy(const std::string& op, TScene& c) {
  const size_t bytes = size_t(PixelsOf(op, {c.Screen.Width(), c.Screen.Height()})) * size_t(BytesPerPixel(op));
  TCopyBuffers& b = BuffersFor(bytes);
  std::memcpy(b.To.data(), b.From.data(), bytes);
  benchmark::DoNotOptimize(b.To.data());
}

#ifdef KEST_BENCH_PIXMAN
pixman_image_t* Wrap(TCustomDIBX& s, pixman_format_code_t format) {
  return pixman_image_create_bits(format, s.Width(), s.Height(), reinterpret_cast<uint32_t*>(s.ScanLine(0)),
                                  int(s.LineStep()));
}

pixman_image_t* Solid(uint16_t alpha) {
  const pixman_color_t c{0, 0, 0, uint16_t(alpha * 257)};
  return pixman_image_create_solid_fill(&c);
}

void RunPixman(const std::string& op, TScene& c) {
  const int32_t w = c.Screen.Width(), h = c.Screen.Height();
  pixman_image_t* dst = Wrap(c.Screen, PIXMAN_x8r8g8b8);
  if (op == "Fill") {
    pixman_fill(reinterpret_cast<uint32_t*>(c.Screen.ScanLine(0)), int(c.Screen.LineStep() / 4), 32, 0, 0, w, h,
                0x336699);
    pixman_image_unref(dst);
    return;
  }
  if (op == "Ink") {
    pixman_image_t* ink = Solid(255);
    pixman_image_t* coverage = Wrap(c.Coverage, PIXMAN_a8);
    pixman_image_composite32(PIXMAN_OP_OVER, ink, coverage, dst, 0, 0, 0, 0, 0, 0, w, h);
    pixman_image_unref(coverage);
    pixman_image_unref(ink);
    pixman_image_unref(dst);
    return;
  }
  const bool half = op == "Stretch2x" || op == "Rotate30";
  pixman_image_t* src = op == "Draw"
                            ? Wrap(c.KeyAlpha, PIXMAN_a8r8g8b8)
                            : Wrap(half ? c.Half : c.Picture, op == "Rotate30" ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8);
  pixman_image_t* mask = nullptr;
  pixman_op_t pop = op == "Draw" ? PIXMAN_OP_OVER : PIXMAN_OP_SRC;
  if (op == "DrawAlpha") mask = Solid(128), pop = PIXMAN_OP_OVER;
  if (op == "DrawMask") mask = Wrap(c.Mask, PIXMAN_a8), pop = PIXMAN_OP_OVER;
  if (op == "DrawSprite") mask = Wrap(c.SpriteMask, PIXMAN_a8), pop = PIXMAN_OP_OVER;
  if (op == "DrawAdd") mask = Solid(200), pop = PIXMAN_OP_ADD;
  int32_t dx = 0, dy = 0, dw = w, dh = h;
  if (op == "Stretch2x") {
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
  }
  if (op == "Rotate30") {
    const double a = 30.0 * std::numbers::pi / 180.0;
    pixman_f_transform_t f;
    pixman_f_transform_init_identity(&f);
    pixman_f_transform_translate(&f, nullptr, -w / 2.0, -h / 2.0);
    pixman_f_transform_rotate(&f, nullptr, std::cos(-a), std::sin(-a));
    pixman_f_transform_translate(&f, nullptr, w / 4.0, h / 4.0);
    pixman_transform_t t;
    pixman_transform_from_pixman_f_transform(&t, &f);
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
    pop = PIXMAN_OP_OVER;
    // The rotated half picture's bounding box around the centre.
    const double bw = (w / 2.0) * std::cos(a) + (h / 2.0) * std::sin(a);
    const double bh = (w / 2.0) * std::sin(a) + (h / 2.0) * std::cos(a);
    dx = int32_t(w / 2.0 - bw / 2), dy = int32_t(h / 2.0 - bh / 2), dw = int32_t(bw), dh = int32_t(bh);
  }
  pixman_image_composite32(pop, src, mask, dst, dx, dy, dx, dy, dx, dy, dw, dh);
  if (mask) pixman_image_unref(mask);
  pixman_image_unref(src);
  pixman_image_unref(dst);
}
#endif

void Bench(benchmark::State& state, std::string op, TSize size, std::string impl) {
  TScene& c = SceneFor(size);
  for (auto _ : state) {
    if (impl == "kest") RunKest(op, c);
    if (impl == "memcpy") RunMemcpy(op, c);
#ifdef KEST_BENCH_PIXMAN
    if (impl == "pixman") RunPixman(op, c);
#endif
    benchmark::DoNotOptimize(c.Screen.ScanLine(0));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * PixelsOf(op, size));
}

// Keeps the rate of every run so the summary can set them side by side.
class TSummaryReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> Rates;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      auto it = r.counters.find("items_per_second");
      if (it != r.counters.end()) Rates[r.run_name.function_name] = it->second;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

std::string Name(const std::string& op, TSize s, const std::string& impl) {
  return op + "/" + std::to_string(s.W) + "x" + std::to_string(s.H) + "/" + impl;
}

void PrintSummary(const std::map<std::string, double>& rates) {
  std::printf("\n%-10s %-9s %10s %10s %10s %13s %13s\n", "operation", "size", "kest", "pixman", "memcpy", "kest/pixman",
              "kest/memcpy");
  std::printf("%-10s %-9s %10s %10s %10s\n", "", "", "MPix/s", "MPix/s", "MPix/s");
  for (const char* op : kOps)
    for (TSize s : kSizes) {
      auto rate = [&](const char* impl) {
        auto it = rates.find(Name(op, s, impl));
        return it == rates.end() ? 0.0 : it->second / 1e6;
      };
      const double k = rate("kest"), p = rate("pixman"), m = rate("memcpy");
      if (k == 0) continue;  // left out by a filter
      const std::string size = std::to_string(s.W) + "x" + std::to_string(s.H);
      if (p > 0) {
        std::printf("%-10s %-9s %10.1f %10.1f %10.1f %13.2f %13.2f\n", op, size.c_str(), k, p, m, k / p, k / m);
      } else {
        std::printf("%-10s %-9s %10.1f %10s %10.1f %13s %13.2f\n", op, size.c_str(), k, "-", m, "-", k / m);
      }
    }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> impls{"kest", "memcpy"};
#ifdef KEST_BENCH_PIXMAN
  impls.insert(impls.begin() + 1, "pixman");
#endif
  for (const char* op : kOps)
    for (TSize s : kSizes)
      for (const std::string& impl : impls)
        benchmark::RegisterBenchmark(Name(op, s, impl).c_str(), Bench, std::string(op), s, impl)
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(0.2);
  benchmark::Initialize(&argc, argv);
  TSummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintSummary(reporter.Rates);
  benchmark::Shutdown();
  return 0;
}
