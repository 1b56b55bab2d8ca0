#pragma once
// A volume fade of a media item, stepped by the sound or movie that owns it.
// Fades of everything but MIDI move through the upper half of the attenuation
// range only: below -50 dB nothing is heard, so a fade over the whole range
// would seem to start late (fading in) or end early (fading out).

#include <cstdint>

namespace kest {

class TDMediaItem;

class TKestMixer {
 public:
  TKestMixer(TDMediaItem& item, int32_t target, int32_t duration);
  virtual ~TKestMixer() = default;
  TKestMixer(const TKestMixer&) = delete;
  TKestMixer& operator=(const TKestMixer&) = delete;

  // One step at the game time now; true once the fade has ended.
  bool Step(int64_t now);
  virtual bool FadesOut() const = 0;

 protected:
  // The first step: the fade takes its start (and target) volume.
  virtual void Begin() = 0;
  // The fade's time is up.
  virtual void End() = 0;

  TDMediaItem& FItem;
  int32_t FStart = 0;
  int32_t FTarget;

 private:
  int32_t Interpolate(int64_t elapsed) const;

  int32_t FDuration;
  bool FStarted = false;
  int64_t FStartTick = 0;
};

// Starts the item silent and raises it to the target volume.
class TKestMixerFadein final : public TKestMixer {
 public:
  using TKestMixer::TKestMixer;
  bool FadesOut() const override { return false; }

 protected:
  void Begin() override;
  void End() override;
};

// Lowers the item from its present volume; its owner then goes.
class TKestMixerFadeout final : public TKestMixer {
 public:
  TKestMixerFadeout(TDMediaItem& item, int32_t duration);
  bool FadesOut() const override { return true; }

 protected:
  void Begin() override;
  void End() override {}
};

}  // namespace kest
