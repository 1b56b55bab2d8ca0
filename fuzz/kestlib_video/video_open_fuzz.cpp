// Any bytes as a movie read through the player's stream callbacks: opened,
// played on the hand-driven clock for a few frames with its sound pulled,
// moved, converted to every layout, and closed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kestlib/kestlib_api.h"
#include "kestlib/lib/video_clock.h"

extern "C" {
#include <libavutil/log.h>

#define KEST_DECLARE(R, name, params) R name params;
KEST_LIB_CORE_FUNCTIONS(KEST_DECLARE)
KEST_LIB_VIDEO_FUNCTIONS(KEST_DECLARE)
#undef KEST_DECLARE
}

namespace {

struct TMemory {
  const uint8_t* data;
  int64_t size;
  int64_t position;
};

int64_t Size(void* s) { return static_cast<TMemory*>(s)->size; }
int32_t Read(void* s, void* buffer, int32_t count) {
  auto* m = static_cast<TMemory*>(s);
  int64_t n = std::max<int64_t>(0, std::min<int64_t>(count, m->size - m->position));
  if (n > 0) std::memcpy(buffer, m->data + m->position, static_cast<size_t>(n));
  m->position += n;
  return static_cast<int32_t>(n);
}
int64_t Position(void* s) { return static_cast<TMemory*>(s)->position; }
int64_t Seek(void* s, int64_t position) {
  auto* m = static_cast<TMemory*>(s);
  m->position = std::clamp<int64_t>(position, 0, m->size);
  return m->position;
}

struct TBus {
  void* source = nullptr;
  KestSoundRender render = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool once = [] {
    av_log_set_level(AV_LOG_QUIET);
    kestlib::video::UseManualClock(true);
    return true;
  }();
  (void)once;
  TBus fake;
  KestSoundBus bus{&fake,
                   [](void* c, void* source, KestSoundRender render) {
                     static_cast<TBus*>(c)->source = source;
                     static_cast<TBus*>(c)->render = render;
                   },
                   [](void* c, void*) { *static_cast<TBus*>(c) = TBus{}; }, 0};
  void* shared = &bus;
  kestInit(nullptr, nullptr, nullptr, &shared, Size, Read, Position, Seek, nullptr, nullptr, 0);
  TMemory memory{data, static_cast<int64_t>(size), 0};
  KestHandle item = kestVidmanAdd("movie", &memory, 0);
  if (item) {
    std::vector<int16_t> samples(1024 * 2);
    kestVideoPlay(item);
    const int32_t layouts[] = {32, 16, 15};
    for (int32_t bits : layouts) {
      kestlib::video::AdvanceManualClock(40);
      if (fake.render) fake.render(fake.source, samples.data(), 1024);
      KestVideoFrame frame{};
      if (kestVideoNeedPaint(item) && kestVideoGetFrame(item, bits, &frame)) {
        const auto* bytes = static_cast<const uint8_t*>(frame.pixels);
        volatile uint8_t last = bytes[static_cast<size_t>(frame.pitch) * (frame.height - 1) + frame.width - 1];
        (void)last;
      }
      kestVideoFrameDone(item);
    }
    kestVideoSetPosition(item, kestVideoGetLength(item) / 2);
    KestVideoFrame frame{};
    kestVideoGetFrame(item, 32, &frame);
    kestVideoIsEnd(item);
    kestVidmanDel(item);
  }
  kestFinal();
  return 0;
}
