// The sound bus mixing 16 sources into one device block, against a memcpy of
// the same bytes: the sources' own rendering is a copy, so the difference is
// what the saturating mix costs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "media/sound/sound_bus.h"
#include "platform/audio_device.h"

namespace {

constexpr int kSources = 16, kFrames = 1024, kSamples = kFrames * 2;

struct TCopySource {
  std::vector<int16_t> samples;
  static int32_t Render(void* self, int16_t* out, int32_t frames) {
    std::memcpy(out, static_cast<TCopySource*>(self)->samples.data(), static_cast<size_t>(frames) * 4);
    return frames;
  }
};

struct TRig {
  kest::TManualAudioDevice device;
  kest::TSoundBus bus{device};
  std::vector<TCopySource> sources{kSources};
  std::vector<int16_t> out = std::vector<int16_t>(kSamples);
  std::vector<int16_t> copySrc = std::vector<int16_t>(kSamples * kSources, 3);
  std::vector<int16_t> copyDst = std::vector<int16_t>(kSamples * kSources);

  TRig() {
    for (int s = 0; s < kSources; ++s) {
      sources[s].samples.resize(kSamples);
      for (int i = 0; i < kSamples; ++i) sources[s].samples[i] = static_cast<int16_t>((i * 37 + s * 1000) % 8000);
      bus.Attach(&sources[s], &TCopySource::Render);
    }
  }
  void Mix() {
    bus.Render(out.data(), kFrames);
    benchmark::ClobberMemory();
  }
  void Copy() {
    std::memcpy(copyDst.data(), copySrc.data(), copySrc.size() * sizeof(int16_t));
    benchmark::ClobberMemory();
  }
};

constexpr int64_t kBytes = int64_t{kSamples} * kSources * 2;

void BM_BusMix16(benchmark::State& state) {
  TRig rig;
  for (auto _ : state) rig.Mix();
  state.SetBytesProcessed(state.iterations() * kBytes);
}

void BM_MemcpySameBytes(benchmark::State& state) {
  TRig rig;
  for (auto _ : state) rig.Copy();
  state.SetBytesProcessed(state.iterations() * kBytes);
}

BENCHMARK(BM_BusMix16);
BENCHMARK(BM_MemcpySameBytes);

// Prints the mix / memcpy time ratio from one run of each.
void BM_Ratio(benchmark::State& state) {
  auto timeOf = [](auto&& body, int n) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / n;
  };
  TRig rig;
  for (auto _ : state) {
    const double mix = timeOf([&] { rig.Mix(); }, 2000);
    const double copy = timeOf([&] { rig.Copy(); }, 2000);
    state.counters["mix16_over_memcpy"] = mix / copy;
    std::printf("ratio mix of %d sources / memcpy: %.2f\n", kSources, mix / copy);
  }
}
BENCHMARK(BM_Ratio)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
