#include "scene/components/kest_mixer.h"

#include "media/items/media_item.h"
#include "media/items/silent_items.h"

namespace kest {

namespace {

constexpr int32_t kSilent = -10000;

}  // namespace

TKestMixer::TKestMixer(TDMediaItem& item, int32_t target, int32_t duration)
    : FItem(item), FTarget(target), FDuration(duration) {}

bool TKestMixer::Step(int64_t now) {
  if (!FStarted) {
    FStarted = true;
    Begin();
    FStartTick = now;
    return false;
  }
  const int64_t elapsed = now - FStartTick;
  if (elapsed >= FDuration) {
    End();
    return true;
  }
  FItem.SetVolume(Interpolate(elapsed));
  return false;
}

int32_t TKestMixer::Interpolate(int64_t elapsed) const {
  const bool midi = dynamic_cast<const TMidiItem*>(&FItem) != nullptr;
  const int64_t s = FStart;
  const int64_t t = FTarget;
  const int64_t d = midi ? t - s : (t - s) / 2;
  // 64 bits: a fade of some minutes times the range passes 2^31.
  const int64_t step = elapsed * d / FDuration;
  if (s > t) return static_cast<int32_t>(s + step);
  // Rising, other fades start half way up. A MIDI fade starts at the bottom:
  // from s + d it would start at the target and climb past full level.
  return static_cast<int32_t>((midi ? s : s + d) + step);
}

void TKestMixerFadein::Begin() {
  FItem.SetVolume(kSilent);
  FItem.Play();
  FStart = kSilent;
}

void TKestMixerFadein::End() { FItem.SetVolume(FTarget); }

TKestMixerFadeout::TKestMixerFadeout(TDMediaItem& item, int32_t duration) : TKestMixer(item, kSilent, duration) {}

void TKestMixerFadeout::Begin() { FStart = FItem.GetVolume(); }

}  // namespace kest
