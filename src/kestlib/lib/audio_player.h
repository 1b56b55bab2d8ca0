#pragma once
// One sound playing on the player's sound output: a decoder, a ring of
// blocks already turned into 44100 Hz stereo by the library's decoding
// thread, and the device thread's render, which only copies ready blocks
// with the volume and pan applied. Without a sound output the player keeps
// time on the real-time clock instead, so sounds still end.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "kestlib/lib/audio_source.h"

namespace kestlib {

inline constexpr int32_t kOutputRate = 44100;

class TAudioPlayer {
 public:
  TAudioPlayer(std::unique_ptr<IAudioDecoder> decoder, KestSoundBus* bus);
  ~TAudioPlayer();
  TAudioPlayer(const TAudioPlayer&) = delete;
  TAudioPlayer& operator=(const TAudioPlayer&) = delete;

  // The item's operations, from the program's thread. Milliseconds; volume
  // and pan in hundredths of a decibel.
  void Play();
  void Pause();
  bool IsPlaying();
  bool IsPaused() const { return FPaused; }
  // True once, the first time the sound is seen at its end.
  bool IsEnd();
  int32_t GetPosition();
  void SetPosition(int32_t ms);
  int32_t GetLength() const;
  int32_t GetVolume() const { return FVolume; }
  void SetVolume(int32_t value);
  int32_t GetPan() const { return FPan; }
  void SetPan(int32_t value);
  bool GetRepeat() const { return FRepeat.load(); }
  void SetRepeat(bool value);
  int32_t GetRepeatPos() const { return FRepeatMs; }
  void SetRepeatPos(int32_t ms);

  // The decoding thread: fills one free block; false when there was nothing
  // to do.
  bool Fill();
  // The device thread.
  static int32_t Render(void* self, int16_t* samples, int32_t frames);

 private:
  static constexpr int32_t kBlockFrames = 1024;
  static constexpr uint32_t kBlocks = 16;
  static constexpr int32_t kFeedFrames = 1024;

  struct TBlock {
    std::array<int16_t, kBlockFrames * 2> samples;
    int32_t frames = 0;
    int64_t source_frame = 0;  // the source frame its first frame was made from
    uint32_t generation = 0;
    bool last = false;  // the sound ends after this block
  };

  int32_t RenderBlocks(int16_t* samples, int32_t frames);
  // Playing and its last block not yet played.
  bool AwaitingData() const;
  void ApplyGain(const int16_t* in, int16_t* out, int32_t frames) const;
  // Restarts the decoding at `frame`; the blocks made before are dropped.
  void Restart(int64_t frame);
  int64_t PlayedFrame();
  bool AtEnd();
  bool RefillFeed();
  int64_t MsToFrame(int32_t ms) const;
  int32_t FrameToMs(int64_t frame) const;
  void UpdateClock();

  std::unique_ptr<IAudioDecoder> FDecoder;
  KestSoundBus* FBus;
  const int32_t FRate;
  const int64_t FFrames;
  const uint64_t FStep;  // source frames per output frame, 32.32

  // Program thread.
  bool FPaused = false;
  bool FEndSeen = false;
  int32_t FVolume = 0;
  int32_t FPan = 0;
  int32_t FRepeatMs = 0;
  int64_t FSeekFrame = 0;

  // Shared.
  std::atomic<bool> FPlaying{false};
  std::atomic<bool> FRepeat{false};
  std::atomic<int64_t> FRepeatFrame{0};
  std::atomic<uint32_t> FGeneration{1};
  std::atomic<int64_t> FRestartFrame{0};
  std::atomic<uint64_t> FGains;  // left gain << 32 | right gain, 16.16
  std::atomic<uint32_t> FWritten{0};
  std::atomic<uint32_t> FRead{0};
  std::atomic<int64_t> FPlayedFrame{0};
  std::atomic<uint32_t> FPlayedGeneration{0};
  std::atomic<uint32_t> FEndedGeneration{0};
  std::array<TBlock, kBlocks> FBlocks;

  // Decoding thread.
  uint32_t FFillGeneration = 0;
  bool FFillDone = false;
  std::vector<int16_t> FFeed;     // stereo frames from the decoder
  std::vector<int16_t> FDecoded;  // the decoder's own channels
  int32_t FFeedFrames = 0;
  uint64_t FPhase = 0;           // position in FFeed, 32.32
  int64_t FNextSourceFrame = 0;  // the source frame the decoder reads next
  bool FSourceDone = false;
  bool FReadSinceLoop = true;  // a loop that gives no frame ends the sound

  // Device thread.
  int32_t FBlockOffset = 0;

  // Without a sound output: time since Play on the real-time clock.
  std::chrono::steady_clock::time_point FClockStart;
  int64_t FClockBaseMs = 0;
  bool FClockEnded = false;
};

// Gain of a volume in hundredths of a decibel, 16.16; -10000 and below is 0.
uint32_t VolumeGain(int32_t value);

}  // namespace kestlib
