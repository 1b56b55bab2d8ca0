#include "shell/loop_thread.h"

namespace kest {

void TLoopThread::Start(uint32_t now) {
  FRunning = true;
  FSuspended = false;
  FPrevious = now;
  FDeadline = now + 1;
}

void TLoopThread::Resume(uint32_t now) {
  if (!FSuspended) return;
  FSuspended = false;
  FDeadline = now + 1;
}

uint32_t TLoopThread::WaitMs(uint32_t now) const {
  if (!Running()) return kIdleWaitMs;
  const int32_t left = static_cast<int32_t>(FDeadline - now);
  return left > 0 ? static_cast<uint32_t>(left) : 0;
}

std::optional<int32_t> TLoopThread::Wake(uint32_t now) {
  const uint32_t elapsed = now - FPrevious;
  FPrevious = now;
  if (elapsed >= kMaxGapMs) {
    FDeadline = now + 1;
    return std::nullopt;
  }
  FDeadline = now + kPeriodMs;
  return static_cast<int32_t>(elapsed);
}

}  // namespace kest
