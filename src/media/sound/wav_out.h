// The player's own wave mixer, used when the extension library's players are
// switched off: every playing sound is a TWavBuffer pulling PCM from its
// source; a mixing thread adds the playing buffers into fixed blocks of
// DelayTime milliseconds and queues them on the sound bus, at most two at a
// time, so what is heard lags by one to two DelayTimes.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/clock.h"

namespace kest {

class TSoundBus;
class TWavOut;

struct TWavFormat {
  uint16_t FormatTag = 1;
  uint16_t Channels = 2;
  uint32_t SamplesPerSec = 44100;
  uint32_t AvgBytesPerSec = 176400;
  uint16_t BlockAlign = 4;
  uint16_t BitsPerSample = 16;
};

// Raw PCM in the format given with it, read from the current position.
class IWavSource {
 public:
  virtual ~IWavSource() = default;
  // Bytes read; 0 at the end.
  virtual int Read(void* buffer, int bytes) = 0;
  virtual int64_t Size() = 0;
  virtual void Seek(int64_t position) = 0;
};

class TWavBuffer {
 public:
  TWavBuffer(const TWavBuffer&) = delete;
  TWavBuffer& operator=(const TWavBuffer&) = delete;

  void Play();
  void Pause();
  // Byte positions, rounded down to whole frames of the source.
  void SetPosition(int64_t bytes);
  void SetLoop(bool loop, int64_t loopPos);
  // 0 (silent) to 256; 255 and above is the source's own level.
  void SetVolume(int volume);

  bool Playing() const;
  bool Paused() const;
  bool AtEnd() const;
  int64_t ReadPos() const;
  // The end has been read and the last block holding it has had time to
  // sound.
  bool IsFinished() const;
  // Where the listener is, estimated from the last mix and the latency.
  int64_t PlayedPosition() const;

 private:
  friend class TWavOut;
  TWavBuffer(TWavOut& owner, const TWavFormat& format, std::unique_ptr<IWavSource> stream);

  // Adds one block of `frames` frames; true when it gave any sound.
  bool Mix(int16_t* block, int frames, uint32_t now);
  int ReadLooping(uint8_t* dst, int bytes);

  TWavOut& FOwner;
  TWavFormat FFormat;
  std::unique_ptr<IWavSource> FStream;
  int64_t FSize = 0;
  int FFrameBytes = 1;  // bytes of one source frame
  int FRepeat = 0;      // output frames per source frame; 0 for an unsupported format
  std::vector<uint8_t> FRaw;
  std::vector<int16_t> FOut;
  // A half-rate source's frame whose second copy did not fit the last block.
  int16_t FCarry[2] = {0, 0};
  bool FHasCarry = false;
  int64_t FReadPos = 0;
  int FVolume = 256;
  bool FPlaying = false;
  bool FPaused = false;
  bool FLoop = false;
  int64_t FLoopPos = 0;
  bool FAtEnd = false;
  bool FEnded = false;  // the last read met an end it does not go past
  uint32_t FLastMixTime = 0;
};

class TWavOut {
 public:
  static constexpr int kBytesPerSecond = 176400;
  static constexpr int kDefaultDelayTime = 500;
  static int BlockSizeFor(int delayTime) { return delayTime * kBytesPerSecond / 1000; }

  // The bus always has a device behind it (a silent one when there is no
  // sound card), so blocks are always taken and sounds always end. The bus
  // outlives the mixer.
  // DelayTime is held to 100…500 ms.
  TWavOut(TSoundBus& bus, int delayTime, IClock& clock);
  ~TWavOut();
  TWavOut(const TWavOut&) = delete;
  TWavOut& operator=(const TWavOut&) = delete;

  int DelayTime() const { return FDelayTime; }
  int BlockSize() const { return FBlockSize; }
  int WakeIntervalMs() const { return FDelayTime / 4; }

  // Joins the bus and, with `thread`, starts the mixing thread (without it,
  // MixPass is run by hand). False when already started.
  bool Start(bool thread = true);
  // Ends the thread, leaves the bus and frees every buffer.
  void Stop();

  TWavBuffer* AddBuffer(const TWavFormat& format, std::unique_ptr<IWavSource> stream);
  void RemoveBuffer(TWavBuffer* buffer);
  // Called with each block as it is queued.
  void SetBlockWritten(std::function<void(const int16_t* samples, int bytes)> notify);

  // One pass of the mixing thread: frees the blocks the bus has played and
  // queues up to two new ones.
  void MixPass();
  int QueuedBlocks() const;

 private:
  friend class TWavBuffer;
  struct TBlock {
    std::vector<int16_t> Samples;
    size_t Taken = 0;
    bool Done = false;
  };

  static int32_t RenderSource(void* self, int16_t* samples, int32_t frames);
  void RunThread();

  TSoundBus& FBus;
  IClock& FClock;
  int FDelayTime;
  int FBlockSize;
  int FBlockFrames;

  // Guards the buffers, every buffer's fields and the pool; held through a
  // mixing pass.
  mutable std::mutex FLock;
  std::vector<std::unique_ptr<TWavBuffer>> FBuffers;
  std::vector<TWavBuffer*> FActive;
  std::vector<std::unique_ptr<TBlock>> FPool;
  std::function<void(const int16_t*, int)> FBlockWritten;
  bool FStarted = false;

  // The queued blocks, shared with the bus's thread; taken after FLock.
  mutable std::mutex FQueueLock;
  std::deque<std::unique_ptr<TBlock>> FQueue;

  std::mutex FThreadLock;
  std::condition_variable FWake;
  bool FStopThread = false;
  std::thread FThread;
};

}  // namespace kest
