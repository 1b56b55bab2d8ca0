#include "platform/audio_device.h"

#include <chrono>
#include <vector>

namespace kest {

TSilentAudioDevice::TSilentAudioDevice(TClock clock) {
  if (clock != TClock::RealTime) return;
  thread_ = std::thread([this] {
    using namespace std::chrono;
    auto next = steady_clock::now();
    while (!stop_) {
      next += milliseconds(10);
      std::this_thread::sleep_until(next);
      if (!paused_) Consume(kRate / 100);
    }
  });
}

TSilentAudioDevice::~TSilentAudioDevice() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void TSilentAudioDevice::SetFill(TFill fill) {
  std::lock_guard guard(lock_);
  fill_ = std::move(fill);
}

void TSilentAudioDevice::Advance(int ms) {
  if (ms <= 0 || paused_) return;
  remainder_ += static_cast<int64_t>(ms) * kRate;
  const int frames = static_cast<int>(remainder_ / 1000);
  remainder_ %= 1000;
  Consume(frames);
}

void TSilentAudioDevice::Consume(int frames) {
  if (frames <= 0) return;
  std::vector<int16_t> samples(static_cast<size_t>(frames) * kChannels);
  {
    std::lock_guard guard(lock_);
    if (fill_) fill_(samples.data(), frames);
  }
  frames_ += frames;
}

}  // namespace kest
