// The one mixing point in front of the sound device: every sound source (the
// wave mixer, the extension library's players, the MIDI synthesizer) renders
// into it, and it adds them together with saturation in the device's fill.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "kestlib/kestlib_api.h"
#include "platform/audio_device.h"

namespace kest {

// dst[i] := dst[i] + src[i], held to the 16-bit range instead of wrapping.
void MixSaturated(int16_t* dst, const int16_t* src, size_t count);

class TSoundBus {
 public:
  // Takes over the device's fill until destroyed.
  explicit TSoundBus(IAudioDevice& device);
  ~TSoundBus();
  TSoundBus(const TSoundBus&) = delete;
  TSoundBus& operator=(const TSoundBus&) = delete;

  // Attaching a source again replaces its render function. A render must
  // not attach or detach sources itself.
  void Attach(void* source, KestSoundRender render);
  // Once this returns the source is not called again.
  void Detach(void* source);
  // The bus as the extension library takes it.
  KestSoundBus* CBus() { return &FCBus; }
  // The device runs on the game's clock: sources wait for their data.
  void SetGameTime(bool on) { FCBus.game_time = on ? 1 : 0; }

  // Overwrites `frames` stereo frames with the sum of every source.
  void Render(int16_t* samples, int frames);

 private:
  struct TSource {
    void* Source;
    KestSoundRender Render;
  };

  IAudioDevice& FDevice;
  KestSoundBus FCBus{};
  // Held for a whole mixing pass, so Detach waits for a pass in progress.
  std::mutex FLock;
  std::vector<TSource> FSources;
  std::vector<int16_t> FScratch;
};

}  // namespace kest
