// Our own extension library. The player loads it by name at start-up and
// reaches every media player through its entry points. Until the media
// players arrive, every manager answers "no item" and every item query
// answers zero, which the player treats as a silent, ended item.
#include <atomic>
#include <mutex>

#include "kestlib/kestlib_api.h"

#define KEST_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct TLibState {
  std::mutex lock;
  bool initialised = false;
  bool ogg_thread = false;
  KestStreamSizeProc size = nullptr;
  KestStreamReadProc read = nullptr;
  KestStreamPositionProc position = nullptr;
  KestStreamSeekProc seek = nullptr;
};

TLibState& State() {
  static TLibState state;
  return state;
}

template <class R>
R NoItem() {
  if constexpr (!std::is_void_v<R>) return R{};
}

}  // namespace

KEST_EXPORT int32_t kestVersion(void) { return kest::kKestLibVersion; }

KEST_EXPORT void kestInit(void**, void**, void*, void**, KestStreamSizeProc size, KestStreamReadProc read,
                          KestStreamPositionProc position, KestStreamSeekProc seek, KestFpuProc, KestFpuProc,
                          KestBool) {
  TLibState& s = State();
  std::lock_guard guard(s.lock);
  s.size = size;
  s.read = read;
  s.position = position;
  s.seek = seek;
  s.initialised = true;
}

KEST_EXPORT void kestFinal(void) {
  TLibState& s = State();
  std::lock_guard guard(s.lock);
  s.initialised = false;
  s.ogg_thread = false;
  s.size = nullptr;
  s.read = nullptr;
  s.position = nullptr;
  s.seek = nullptr;
}

KEST_EXPORT void kestOggmanSetUseThread(KestBool value) {
  TLibState& s = State();
  std::lock_guard guard(s.lock);
  s.ogg_thread = value != 0;
}

KEST_EXPORT void kestOggmanUpdate(void) {}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define KEST_DEFINE_NO_ITEM(R, name, params) \
  KEST_EXPORT R name params { return NoItem<R>(); }
KEST_LIB_MEDIA_FUNCTIONS(KEST_DEFINE_NO_ITEM)
#undef KEST_DEFINE_NO_ITEM
#pragma GCC diagnostic pop
