#pragma once
// One movie: opened through libavformat, decoded ahead on its own thread into
// a short queue of frames and a buffer of sound, and shown by its clock. The
// clock is the sound the player's output has taken when the movie has sound
// on the bus, else the monotonic clock (video_clock.h); pausing freezes it,
// and setting the position moves it.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "kestlib/lib/lib_state.h"
#include "kestlib/lib/video_source.h"

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;
struct SwsContext;

namespace kestlib::video {

class TVideoMovie {
 public:
  // The movie in `stream` (or the file `fileName` when the stream is null),
  // stopped at 0 with its first frame on the way; null when it cannot be
  // played. Its sound goes to `bus` when there is one.
  static std::unique_ptr<TVideoMovie> Open(const char* fileName, void* stream, const TLibCallbacks& callbacks,
                                           KestSoundBus* bus);
  TVideoMovie(const TVideoMovie&) = delete;
  TVideoMovie& operator=(const TVideoMovie&) = delete;
  ~TVideoMovie();

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  int32_t Length() const { return FLengthMs; }

  void Play();
  void Pause();
  // Holds (or lets go) the clock for the whole manager, whatever the item's
  // own play state.
  void Suspend(bool suspended);
  bool IsPlaying();
  bool IsPaused();
  // True once when the movie has come to its end (each round when repeating).
  bool TakeEnd();
  int32_t Position();
  void SetPosition(int32_t ms);

  int32_t Volume() const { return FVolume.load(); }
  void SetVolume(int32_t value);
  int32_t Pan() const { return FPan.load(); }
  void SetPan(int32_t value);
  bool AutoRepeat() const { return FAutoRepeat.load(); }
  void SetAutoRepeat(bool value) { FAutoRepeat.store(value); }
  bool Visible() const { return FVisible.load(); }
  void SetVisible(bool value) { FVisible.store(value); }

  // Whether a frame came since the last FrameDone.
  bool NeedPaint();
  // The current frame in the layout of `bits` (15, 16 or 32), valid until the
  // next call or FrameDone.
  bool GetFrame(int32_t bits, KestVideoFrame* frame);
  void FrameDone();

 private:
  struct TQueued {
    AVFrame* frame;
    int64_t ms;
  };

  TVideoMovie() = default;
  bool OpenStreams(const char* fileName, void* stream, const TLibCallbacks& callbacks, bool withSound);
  bool OpenSound();
  int64_t MeasureLength();
  void AttachSound(KestSoundBus* bus);

  // The decoding thread and its helpers.
  void DecodeLoop();
  void SeekDecoders(int64_t ms);
  bool ReadPacket(uint64_t generation, int64_t skipMs);
  void ReceiveVideo(uint64_t generation, int64_t skipMs);
  void ReceiveSound(uint64_t generation, int64_t skipMs);
  void FinishStream(uint64_t generation, int64_t skipMs);
  int64_t FrameMs(int64_t pts, int streamIndex) const;
  bool BuffersFull() const;

  // Under FLock.
  int64_t ClockMs();
  void Update(std::unique_lock<std::mutex>& lock);
  void SetRunning();
  void SeekLocked(int64_t ms);
  void DropQueue();

  static int32_t Render(void* source, int16_t* samples, int32_t frames);
  void SetGains();

  // Decoder side (the decoding thread alone, once opened).
  TVideoSource FSource;
  AVFormatContext* FFormat = nullptr;
  AVCodecContext* FVideo = nullptr;
  AVCodecContext* FSound = nullptr;
  SwrContext* FResampler = nullptr;
  AVPacket* FPacket = nullptr;
  AVFrame* FDecoded = nullptr;
  std::vector<int16_t> FConverted;
  int FVideoIndex = -1;
  int FSoundIndex = -1;
  int64_t FStartMs = 0;
  int64_t FFrameMs = 40;
  int64_t FLastPushedMs = 0;
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  int32_t FLengthMs = 0;
  std::thread FThread;

  // Shared with the decoding thread, under FLock.
  std::mutex FLock;
  std::condition_variable FWake;   // the decoder may go on
  std::condition_variable FReady;  // the decoder pushed, finished or filled up
  std::deque<TQueued> FQueue;
  bool FStop = false;
  bool FSeekPending = false;
  int64_t FSeekMs = 0;
  uint64_t FGeneration = 0;
  bool FDecoderEof = false;
  bool FDecoderFull = false;
  int64_t FLastEndMs = 0;
  bool FPlaying = false;
  bool FPaused = false;
  bool FSuspended = false;
  bool FEnded = false;
  bool FEndPending = false;
  bool FClockRunning = false;
  int64_t FBaseMs = 0;
  int64_t FAnchor = 0;
  bool FSoundClock = false;
  AVFrame* FCurrent = nullptr;
  uint64_t FCurrentSerial = 0;
  bool FNeedPaint = false;
  uint8_t* FPixels = nullptr;
  size_t FPixelsSize = 0;
  uint64_t FPixelsSerial = 0;
  int32_t FPixelsBits = 0;
  int32_t FPitch = 0;
  SwsContext* FScaler = nullptr;

  // The sound ring, under FSoundLock (the device thread reads it).
  std::mutex FSoundLock;
  std::vector<int16_t> FRing;
  size_t FRingHead = 0;
  size_t FRingCount = 0;  // frames
  int64_t FSoundConsumed = 0;
  int64_t FSoundBaseMs = 0;
  bool FSoundEof = false;
  uint64_t FSoundGeneration = 0;
  std::atomic<bool> FSoundRunning{false};
  std::atomic<float> FGainLeft{1.0f};
  std::atomic<float> FGainRight{1.0f};
  KestSoundBus* FBus = nullptr;

  std::atomic<int32_t> FVolume{0};
  std::atomic<int32_t> FPan{0};
  std::atomic<bool> FAutoRepeat{false};
  std::atomic<bool> FVisible{true};
};

}  // namespace kestlib::video
