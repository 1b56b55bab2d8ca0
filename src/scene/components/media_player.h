#pragma once
// What sounds and movies share for the media commands: a play state and a
// fresh start from the beginning.

#include <cstdint>

#include "scene/kest_object.h"

namespace kest {

// The play states.
inline constexpr uint8_t kPlayStatePlaying = 0;
inline constexpr uint8_t kPlayStateFadingIn = 1;
inline constexpr uint8_t kPlayStateStopped = 2;
inline constexpr uint8_t kPlayStateFadingOut = 3;  // then stopped and gone

class IMediaPlayer {
 public:
  virtual uint8_t PlayState() const = 0;
  virtual void SetPlayState(uint8_t state) = 0;
  // Plays again from the start, fading in when the object has a fade time.
  virtual void Replay() = 0;

 protected:
  ~IMediaPlayer() = default;
};

// The object as a media player; null for every other kind.
inline IMediaPlayer* AsMediaPlayer(TKestObject& object) { return dynamic_cast<IMediaPlayer*>(&object); }

}  // namespace kest
