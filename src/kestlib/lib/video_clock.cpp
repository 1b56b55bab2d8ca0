#include "kestlib/lib/video_clock.h"

#include <atomic>
#include <chrono>

namespace kestlib::video {
namespace {

std::atomic<bool> gManual{false};
std::atomic<int64_t> gManualMs{0};

// The sound a followed output has taken, in frames at 44100 Hz.
struct TGameTime {
  std::atomic<KestSoundBus*> bus{nullptr};
  std::atomic<int64_t> frames{0};
  int64_t startMs = 0;
};
TGameTime gGameTime;

// A silent source of the output that only counts what it is asked for.
int32_t CountFrames(void* source, int16_t*, int32_t frames) {
  auto* time = static_cast<TGameTime*>(source);
  const int64_t total = time->frames.fetch_add(frames) + frames;
  gManualMs.store(time->startMs + total * 1000 / 44100);
  return 0;
}

}  // namespace

int64_t ClockNow() {
  if (gManual.load()) return gManualMs.load();
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool ClockIsManual() { return gManual.load(); }

void UseManualClock(bool manual) {
  gGameTime.bus.store(nullptr);
  gManualMs.store(0);
  gManual.store(manual);
}

void AdvanceManualClock(int64_t ms) { gManualMs.fetch_add(ms); }

bool ClockFollowsGameTime() { return gManual.load() && gGameTime.bus.load() != nullptr; }

void FollowGameTime(KestSoundBus* bus) {
  if (!bus || !bus->game_time || gGameTime.bus.load() == bus) return;
  // An output followed before belonged to an earlier start of the library,
  // which has gone with it.
  gGameTime.bus.store(bus);
  gGameTime.frames.store(0);
  gGameTime.startMs = gManual.load() ? gManualMs.load() : 0;
  gManualMs.store(gGameTime.startMs);
  gManual.store(true);
  bus->attach(bus->context, &gGameTime, &CountFrames);
}

}  // namespace kestlib::video
