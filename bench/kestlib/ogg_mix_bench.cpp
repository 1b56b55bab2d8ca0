// Sixteen Ogg Vorbis sounds looping at once for ten seconds of output: the
// library's decoding thread plus the renders a device would call, measured
// as process CPU time against the sound's own duration.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>
#include <vector>

#include "kestlib/lib/audio_player.h"

namespace {

using namespace kestlib;

constexpr int kSounds = 16;
constexpr int kSeconds = 10;
constexpr int kBlock = 1024;

struct TBenchBus {
  std::vector<std::pair<void*, KestSoundRender>> sources;
  static void Attach(void* context, void* source, KestSoundRender render) {
    static_cast<TBenchBus*>(context)->sources.emplace_back(source, render);
  }
  static void Detach(void*, void*) {}
};

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}

void OggMix(benchmark::State& state) {
  std::ifstream in("/usr/share/sounds/freedesktop/stereo/complete.oga", std::ios::binary);
  const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
  if (file.empty()) {
    state.SkipWithError("sound-theme-freedesktop is not installed");
    return;
  }
  double fraction = 0;
  for (auto _ : state) {
    TBenchBus bus;
    KestSoundBus sound{&bus, TBenchBus::Attach, TBenchBus::Detach, 0};
    std::vector<std::unique_ptr<TAudioPlayer>> players;
    for (int i = 0; i < kSounds; ++i) {
      players.push_back(std::make_unique<TAudioPlayer>(OpenVorbis(MakeMemoryView(file.data(), file.size())), &sound));
      players.back()->SetRepeat(true);
      players.back()->SetRepeatPos(40 * i);
      players.back()->Play();
    }
    std::vector<int32_t> mix(2 * kBlock);
    std::vector<int16_t> block(2 * kBlock);
    std::vector<int16_t> out(2 * kBlock);
    const double start = CpuSeconds();
    for (int64_t done = 0; done < int64_t{kSeconds} * kOutputRate; done += kBlock) {
      std::fill(mix.begin(), mix.end(), 0);
      for (size_t s = 0; s < bus.sources.size(); ++s) {
        auto [source, render] = bus.sources[s];
        int32_t got = 0;
        while ((got = render(source, block.data(), kBlock)) == 0 && players[s]->IsPlaying())
          std::this_thread::sleep_for(std::chrono::microseconds(200));
        for (int32_t i = 0; i < 2 * got; ++i) mix[i] += block[i];
      }
      for (int i = 0; i < 2 * kBlock; ++i) out[i] = static_cast<int16_t>(std::clamp(mix[i], -32768, 32767));
      benchmark::DoNotOptimize(out.data());
    }
    fraction = (CpuSeconds() - start) / kSeconds;
    players.clear();
  }
  state.counters["cpu_per_real_time"] = fraction;
}

BENCHMARK(OggMix)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
