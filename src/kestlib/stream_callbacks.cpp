#include "kestlib/stream_callbacks.h"

#include <cfenv>

#include "common/stream.h"

namespace kest {
namespace {

TStream* AsStream(void* stream) { return static_cast<TStream*>(stream); }

// The library's decoders may change rounding or exception masks; the player
// brackets their calls with these two.
std::fenv_t& SavedFpu() {
  static std::fenv_t saved;
  return saved;
}

}  // namespace

std::mutex& KestStreamLock() {
  static std::mutex lock;
  return lock;
}

extern "C" {

int64_t KestStreamSize(void* stream) {
  if (!stream) return 0;
  std::lock_guard guard(KestStreamLock());
  return AsStream(stream)->Size();
}

int32_t KestStreamRead(void* stream, void* buffer, int32_t count) {
  if (!stream || !buffer || count <= 0) return 0;
  std::lock_guard guard(KestStreamLock());
  return static_cast<int32_t>(AsStream(stream)->Read(buffer, count));
}

int64_t KestStreamPosition(void* stream) {
  if (!stream) return 0;
  std::lock_guard guard(KestStreamLock());
  return AsStream(stream)->Position();
}

int64_t KestStreamSeek(void* stream, int64_t position) {
  if (!stream) return 0;
  std::lock_guard guard(KestStreamLock());
  TStream* s = AsStream(stream);
  s->Seek(position);
  return s->Position();
}

void KestSaveFpu(void) { std::fegetenv(&SavedFpu()); }

void KestRestoreFpu(void) { std::fesetenv(&SavedFpu()); }

}  // extern "C"

}  // namespace kest
