#include "media/sound/sound_bus.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kest {

void MixSaturated(int16_t* dst, const int16_t* src, size_t count) {
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + 8 <= count; i += 8) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_adds_epi16(a, b));
  }
#endif
  for (; i < count; ++i) {
    const int32_t sum = static_cast<int32_t>(dst[i]) + src[i];
    dst[i] = static_cast<int16_t>(std::clamp<int32_t>(sum, -32768, 32767));
  }
}

TSoundBus::TSoundBus(IAudioDevice& device) : FDevice(device) {
  FCBus.context = this;
  FCBus.attach = [](void* context, void* source, KestSoundRender render) {
    static_cast<TSoundBus*>(context)->Attach(source, render);
  };
  FCBus.detach = [](void* context, void* source) { static_cast<TSoundBus*>(context)->Detach(source); };
  // A typical device block, so the device thread seldom allocates.
  FScratch.resize(4096 * IAudioDevice::kChannels);
  FDevice.SetFill([this](int16_t* samples, int frames) { Render(samples, frames); });
}

TSoundBus::~TSoundBus() { FDevice.SetFill(nullptr); }

void TSoundBus::Attach(void* source, KestSoundRender render) {
  if (!source || !render) return;
  std::lock_guard guard(FLock);
  for (TSource& s : FSources)
    if (s.Source == source) {
      s.Render = render;
      return;
    }
  FSources.push_back({source, render});
}

void TSoundBus::Detach(void* source) {
  std::lock_guard guard(FLock);
  FSources.erase(std::remove_if(FSources.begin(), FSources.end(), [&](const TSource& s) { return s.Source == source; }),
                 FSources.end());
}

void TSoundBus::Render(int16_t* samples, int frames) {
  if (frames <= 0) return;
  const size_t count = static_cast<size_t>(frames) * IAudioDevice::kChannels;
  std::memset(samples, 0, count * sizeof(int16_t));
  std::lock_guard guard(FLock);
  if (FScratch.size() < count) FScratch.resize(count);
  for (const TSource& s : FSources) {
    const int32_t done = std::clamp<int32_t>(s.Render(s.Source, FScratch.data(), frames), 0, frames);
    MixSaturated(samples, FScratch.data(), static_cast<size_t>(done) * IAudioDevice::kChannels);
  }
}

}  // namespace kest
