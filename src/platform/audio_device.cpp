#include "platform/audio_device.h"

#include <chrono>
#include <vector>

namespace kest {

TSilentAudioDevice::TSilentAudioDevice(TClock clock) {
  if (clock != TClock::RealTime) return;
  FThread = std::thread([this] {
    using namespace std::chrono;
    auto next = steady_clock::now();
    while (!FStop) {
      next += milliseconds(10);
      std::this_thread::sleep_until(next);
      if (!FPaused) Consume(kRate / 100);
    }
  });
}

TSilentAudioDevice::~TSilentAudioDevice() {
  FStop = true;
  if (FThread.joinable()) FThread.join();
}

void TSilentAudioDevice::SetFill(TFill fill) {
  std::lock_guard guard(FLock);
  FFill = std::move(fill);
}

void TSilentAudioDevice::Advance(int ms) {
  if (ms <= 0 || FPaused) return;
  FRemainder += static_cast<int64_t>(ms) * kRate;
  const int frames = static_cast<int>(FRemainder / 1000);
  FRemainder %= 1000;
  Consume(frames);
}

void TSilentAudioDevice::Consume(int frames) {
  if (frames <= 0) return;
  std::vector<int16_t> samples(static_cast<size_t>(frames) * kChannels);
  {
    std::lock_guard guard(FLock);
    if (FFill) FFill(samples.data(), frames);
  }
  FFrames += frames;
}

}  // namespace kest
