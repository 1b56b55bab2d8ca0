// The video entry points: the manager's table of movies by handle, and each
// item call handed to its movie (video_movie.h).
#include <map>
#include <memory>
#include <mutex>

#include "kestlib/lib/lib_state.h"
#include "kestlib/lib/video_clock.h"
#include "kestlib/lib/video_movie.h"

namespace {

using kestlib::video::TVideoMovie;

struct TVideoManager {
  std::mutex lock;
  std::map<KestHandle, std::shared_ptr<TVideoMovie>> movies;
  KestHandle next = 1;
  bool suspended = false;
};

TVideoManager& Manager() {
  static TVideoManager manager;
  return manager;
}

std::shared_ptr<TVideoMovie> Find(KestHandle item) {
  TVideoManager& m = Manager();
  std::lock_guard guard(m.lock);
  auto it = m.movies.find(item);
  return it == m.movies.end() ? nullptr : it->second;
}

KestBool Bool(bool value) { return value ? -1 : 0; }

using M = TVideoMovie;

// Runs `call` on the movie of `item`, or answers as for no item.
template <class R, class F>
R With(KestHandle item, F call) {
  std::shared_ptr<TVideoMovie> movie = Find(item);
  if (!movie) return kestlib::NoItem<R>();
  return call(*movie);
}

}  // namespace

KEST_EXPORT KestHandle kestVidmanAdd(const char* fileName, void* stream, KestBool) {
  kestlib::video::FollowGameTime(kestlib::SoundBus());
  std::shared_ptr<TVideoMovie> movie = TVideoMovie::Open(fileName, stream, kestlib::Callbacks(), kestlib::SoundBus());
  if (!movie) return 0;
  TVideoManager& m = Manager();
  std::lock_guard guard(m.lock);
  if (m.suspended) movie->Suspend(true);
  KestHandle handle = m.next;
  m.next = m.next == INT32_MAX ? 1 : m.next + 1;
  m.movies[handle] = std::move(movie);
  return handle;
}

KEST_EXPORT void kestVidmanDel(KestHandle item) {
  std::shared_ptr<TVideoMovie> movie;
  {
    TVideoManager& m = Manager();
    std::lock_guard guard(m.lock);
    auto it = m.movies.find(item);
    if (it == m.movies.end()) return;
    movie = std::move(it->second);
    m.movies.erase(it);
  }
  // The movie's thread is stopped here, outside the manager's lock.
  movie.reset();
}

// Movie windows are drawn by the player itself, so no message concerns them.
KEST_EXPORT void kestVidmanProcessEvent(const KestMessage*) {}

static void SuspendAll(bool suspended) {
  TVideoManager& m = Manager();
  std::lock_guard guard(m.lock);
  m.suspended = suspended;
  for (auto& [handle, movie] : m.movies) movie->Suspend(suspended);
}

KEST_EXPORT void kestVidmanSuspend(void) { SuspendAll(true); }
KEST_EXPORT void kestVidmanResume(void) { SuspendAll(false); }

KEST_EXPORT int32_t kestVideoGetPan(KestHandle item) {
  return With<int32_t>(item, [](M& m) { return m.Pan(); });
}
KEST_EXPORT void kestVideoSetPan(KestHandle item, int32_t value) {
  With<void>(item, [&](M& m) { m.SetPan(value); });
}
KEST_EXPORT int32_t kestVideoGetVolume(KestHandle item) {
  return With<int32_t>(item, [](M& m) { return m.Volume(); });
}
KEST_EXPORT void kestVideoSetVolume(KestHandle item, int32_t value) {
  With<void>(item, [&](M& m) { m.SetVolume(value); });
}
KEST_EXPORT int32_t kestVideoGetPosition(KestHandle item) {
  return With<int32_t>(item, [](M& m) { return m.Position(); });
}
KEST_EXPORT void kestVideoSetPosition(KestHandle item, int32_t value) {
  With<void>(item, [&](M& m) { m.SetPosition(value); });
}
KEST_EXPORT int32_t kestVideoGetLength(KestHandle item) {
  return With<int32_t>(item, [](M& m) { return m.Length(); });
}
KEST_EXPORT KestBool kestVideoIsEnd(KestHandle item) {
  return With<KestBool>(item, [](M& m) { return Bool(m.TakeEnd()); });
}
KEST_EXPORT KestBool kestVideoIsPlaying(KestHandle item) {
  return With<KestBool>(item, [](M& m) { return Bool(m.IsPlaying()); });
}
KEST_EXPORT KestBool kestVideoIsPaused(KestHandle item) {
  return With<KestBool>(item, [](M& m) { return Bool(m.IsPaused()); });
}
KEST_EXPORT void kestVideoPlay(KestHandle item) {
  With<void>(item, [](M& m) { m.Play(); });
}
KEST_EXPORT void kestVideoPause(KestHandle item) {
  With<void>(item, [](M& m) { m.Pause(); });
}
KEST_EXPORT KestBool kestVideoGetAutoRepeat(KestHandle item) {
  return With<KestBool>(item, [](M& m) { return Bool(m.AutoRepeat()); });
}
KEST_EXPORT void kestVideoSetAutoRepeat(KestHandle item, KestBool value) {
  With<void>(item, [&](M& m) { m.SetAutoRepeat(value != 0); });
}
KEST_EXPORT int32_t kestVideoGetSourceWidth(KestHandle item) {
  return With<int32_t>(item, [](M& m) { return m.Width(); });
}
KEST_EXPORT int32_t kestVideoGetSourceHeight(KestHandle item) {
  return With<int32_t>(item, [](M& m) { return m.Height(); });
}
KEST_EXPORT KestBool kestVideoGetVisible(KestHandle item) {
  return With<KestBool>(item, [](M& m) { return Bool(m.Visible()); });
}
KEST_EXPORT void kestVideoSetVisible(KestHandle item, KestBool value) {
  With<void>(item, [&](M& m) { m.SetVisible(value != 0); });
}
KEST_EXPORT KestBool kestVideoNeedPaint(KestHandle item) {
  return With<KestBool>(item, [](M& m) { return Bool(m.NeedPaint()); });
}
// The presenter places every movie from the scene's own rectangle, so the
// library keeps no window of its own to move.
KEST_EXPORT void kestVideoSetRect(KestHandle, int32_t, int32_t, int32_t, int32_t) {}
KEST_EXPORT void* kestVideoGetDC(KestHandle) { return nullptr; }
KEST_EXPORT KestBool kestVideoGetFrame(KestHandle item, int32_t bits, KestVideoFrame* frame) {
  return With<KestBool>(item, [&](M& m) { return Bool(m.GetFrame(bits, frame)); });
}
KEST_EXPORT void kestVideoFrameDone(KestHandle item) {
  With<void>(item, [](M& m) { m.FrameDone(); });
}
