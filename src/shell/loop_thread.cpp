#include "shell/loop_thread.h"

namespace kest {

void TLoopThread::Start(uint32_t now) {
  running_ = true;
  suspended_ = false;
  previous_ = now;
  deadline_ = now + 1;
}

void TLoopThread::Resume(uint32_t now) {
  if (!suspended_) return;
  suspended_ = false;
  deadline_ = now + 1;
}

uint32_t TLoopThread::WaitMs(uint32_t now) const {
  if (!Running()) return kIdleWaitMs;
  const int32_t left = static_cast<int32_t>(deadline_ - now);
  return left > 0 ? static_cast<uint32_t>(left) : 0;
}

std::optional<int32_t> TLoopThread::Wake(uint32_t now) {
  const uint32_t elapsed = now - previous_;
  previous_ = now;
  if (elapsed >= kMaxGapMs) {
    deadline_ = now + 1;
    return std::nullopt;
  }
  deadline_ = now + kPeriodMs;
  return static_cast<int32_t>(elapsed);
}

}  // namespace kest
