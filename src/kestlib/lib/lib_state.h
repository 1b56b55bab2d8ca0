#pragma once
// What every player of the library shares: the player's stream callbacks
// (serialised by the player), and its sound output.
#include <type_traits>

#include "kestlib/kestlib_api.h"

#define KEST_EXPORT extern "C" __attribute__((visibility("default")))

namespace kestlib {

struct TLibCallbacks {
  KestStreamSizeProc size = nullptr;
  KestStreamReadProc read = nullptr;
  KestStreamPositionProc position = nullptr;
  KestStreamSeekProc seek = nullptr;
};

// The callbacks given to kestInit (all null before it and after kestFinal).
TLibCallbacks Callbacks();
// The sound output given to kestInit; null when the player has none.
KestSoundBus* SoundBus();
// Whether the Ogg manager decodes on its own thread (kestOggmanSetUseThread).
bool OggOnThread();

// The answer of an entry point that has no item to ask.
template <class R>
R NoItem() {
  if constexpr (!std::is_void_v<R>) return R{};
}

}  // namespace kestlib
