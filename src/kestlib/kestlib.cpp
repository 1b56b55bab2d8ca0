// Our own extension library. The player loads it by name at start-up and
// reaches every media player through its entry points; the players are in
// lib/, one family per file.
#include <mutex>
#include <type_traits>

#include "kestlib/lib/lib_state.h"

namespace {

struct TLibState {
  std::mutex lock;
  bool initialised = false;
  bool ogg_thread = false;
  kestlib::TLibCallbacks callbacks;
  KestSoundBus* bus = nullptr;
};

TLibState& State() {
  static TLibState state;
  return state;
}

}  // namespace

namespace kestlib {

TLibCallbacks Callbacks() {
  TLibState& s = State();
  std::lock_guard guard(s.lock);
  return s.callbacks;
}

KestSoundBus* SoundBus() {
  TLibState& s = State();
  std::lock_guard guard(s.lock);
  return s.bus;
}

bool OggOnThread() {
  TLibState& s = State();
  std::lock_guard guard(s.lock);
  return s.ogg_thread;
}

}  // namespace kestlib

KEST_EXPORT int32_t kestVersion(void) { return kest::kKestLibVersion; }

// sharedSound points at the player's KestSoundBus (or holds null).
KEST_EXPORT void kestInit(void**, void**, void*, void** sharedSound, KestStreamSizeProc size, KestStreamReadProc read,
                          KestStreamPositionProc position, KestStreamSeekProc seek, KestFpuProc, KestFpuProc,
                          KestBool) {
  TLibState& s = State();
  std::lock_guard guard(s.lock);
  s.callbacks = {size, read, position, seek};
  s.bus = sharedSound ? static_cast<KestSoundBus*>(*sharedSound) : nullptr;
  s.initialised = true;
}

KEST_EXPORT void kestFinal(void) {
  TLibState& s = State();
  std::lock_guard guard(s.lock);
  s.initialised = false;
  s.ogg_thread = false;
  s.callbacks = {};
  s.bus = nullptr;
}

KEST_EXPORT void kestOggmanSetUseThread(KestBool value) {
  TLibState& s = State();
  std::lock_guard guard(s.lock);
  s.ogg_thread = value != 0;
}

KEST_EXPORT void kestOggmanUpdate(void) {}
