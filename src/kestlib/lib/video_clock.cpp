#include "kestlib/lib/video_clock.h"

#include <atomic>
#include <chrono>

namespace kestlib::video {
namespace {

std::atomic<bool> gManual{false};
std::atomic<int64_t> gManualMs{0};

}  // namespace

int64_t ClockNow() {
  if (gManual.load()) return gManualMs.load();
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool ClockIsManual() { return gManual.load(); }

void UseManualClock(bool manual) {
  gManualMs.store(0);
  gManual.store(manual);
}

void AdvanceManualClock(int64_t ms) { gManualMs.fetch_add(ms); }

}  // namespace kestlib::video
