// Every transition kind drawing one frame at 800 x 600, 32 bits, set against
// a memcpy of one frame in the same run. The kinds are listed slowest first
// with their cost in frames of memcpy (goal: 4 or less).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "imaging/wipes/custom_wipe.h"

namespace {

using namespace kest;

constexpr int32_t kW = 800;
constexpr int32_t kH = 600;

struct TPictures {
  TPictures() : Target(kW, kH, 32), From(kW, kH, 32), To(kW, kH, 32) {
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) {
        From.SetPixel(x, y, uint32_t((x * 3) ^ (y << 8)) & 0xFFFFFF);
        To.SetPixel(x, y, uint32_t((y * 5) ^ (x << 12)) & 0xFFFFFF);
      }
  }
  TDIBX Target, From, To;
};

TPictures& Pictures() {
  static TPictures p;
  return p;
}

double MemcpySeconds(int rounds) {
  TPictures& p = Pictures();
  const size_t bytes = size_t(p.Target.LineStep()) * kH;
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) {
    std::memcpy(p.Target.ScanLine(0), p.From.ScanLine(0), bytes);
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / rounds;
}

// The mean cost of one frame over a sweep of positions.
double WipeSeconds(int32_t kind, int rounds) {
  TPictures& p = Pictures();
  auto wipe = CreateWipe(kind, p.Target, p.From, p.To);
  if (!wipe) return 0;
  wipe->Duration = rounds;
  wipe->Prepare();
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) {
    wipe->Position = i;
    wipe->Step();
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / rounds;
}

void BM_Wipe(benchmark::State& state) {
  const auto kind = static_cast<int32_t>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(WipeSeconds(kind, 20));
}

void BM_Ratios(benchmark::State& state) {
  std::vector<std::pair<double, int32_t>> costs;
  for (auto _ : state) {
    for (int32_t kind = 1; kind < kWipeKindCount; ++kind) {
      const double copy = MemcpySeconds(20);
      costs.emplace_back(WipeSeconds(kind, 40) / copy, kind);
    }
  }
  std::sort(costs.rbegin(), costs.rend());
  std::printf("transition cost in frames of memcpy, slowest first:\n");
  for (auto [ratio, kind] : costs) std::printf("  kind %2d: %6.2f\n", kind, ratio);
  state.counters["slowest"] = costs.front().first;
}

BENCHMARK(BM_Wipe)->DenseRange(1, kWipeKindCount - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ratios)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
