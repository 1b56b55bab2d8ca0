#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace kest {

uint32_t TSteadyClock::NowMs() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void TSteadyClock::SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace kest
