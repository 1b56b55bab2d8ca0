#include "media/sound/wav_out.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "media/sound/sound_bus.h"

namespace kest {
namespace {

constexpr int kOutRate = 44100;

// Output frames per source frame, or 0 for a format the mixer cannot play.
int RepeatFor(const TWavFormat& f) {
  if ((f.Channels != 1 && f.Channels != 2) || (f.BitsPerSample != 8 && f.BitsPerSample != 16)) return 0;
  if (f.SamplesPerSec == kOutRate) return 1;
  if (f.SamplesPerSec == kOutRate / 2) return 2;
  return 0;
}

template <int Bits, int Channels, int Repeat>
void ExpandAs(const uint8_t* src, int frames, int16_t* dst) {
  constexpr int kBytes = Bits / 8 * Channels;
  for (int i = 0; i < frames; ++i) {
    const uint8_t* at = src + i * kBytes;
    int16_t l, r;
    if constexpr (Bits == 8) {
      l = static_cast<int16_t>((at[0] - 128) * 256);
      r = Channels == 2 ? static_cast<int16_t>((at[1] - 128) * 256) : l;
    } else {
      l = static_cast<int16_t>(at[0] | at[1] << 8);
      r = Channels == 2 ? static_cast<int16_t>(at[2] | at[3] << 8) : l;
    }
    for (int k = 0; k < Repeat; ++k) {
      dst[(i * Repeat + k) * 2] = l;
      dst[(i * Repeat + k) * 2 + 1] = r;
    }
  }
}

// Source frames to output stereo frames, by repetition.
void Expand(const TWavFormat& f, int repeat, const uint8_t* src, int frames, int16_t* dst) {
  const bool stereo = f.Channels == 2;
  if (f.BitsPerSample == 16) {
    if (stereo)
      repeat == 1 ? ExpandAs<16, 2, 1>(src, frames, dst) : ExpandAs<16, 2, 2>(src, frames, dst);
    else
      repeat == 1 ? ExpandAs<16, 1, 1>(src, frames, dst) : ExpandAs<16, 1, 2>(src, frames, dst);
  } else {
    if (stereo)
      repeat == 1 ? ExpandAs<8, 2, 1>(src, frames, dst) : ExpandAs<8, 2, 2>(src, frames, dst);
    else
      repeat == 1 ? ExpandAs<8, 1, 1>(src, frames, dst) : ExpandAs<8, 1, 2>(src, frames, dst);
  }
}

}  // namespace

TWavBuffer::TWavBuffer(TWavOut& owner, const TWavFormat& format, std::unique_ptr<IWavSource> stream)
    : FOwner(owner), FFormat(format), FStream(std::move(stream)) {
  FRepeat = RepeatFor(format);
  FFrameBytes = FRepeat ? format.Channels * format.BitsPerSample / 8 : std::max<int>(1, format.BlockAlign);
  FSize = FStream ? std::max<int64_t>(0, FStream->Size()) : 0;
  FRaw.resize(std::max<size_t>(static_cast<size_t>(owner.FBlockFrames) * 4, static_cast<size_t>(FFrameBytes) * 2));
  FOut.resize(static_cast<size_t>(owner.FBlockFrames + 2) * 2);
}

void TWavBuffer::Play() {
  std::lock_guard guard(FOwner.FLock);
  FPlaying = true;
  FPaused = false;
  FAtEnd = false;
  FEnded = false;
  auto& active = FOwner.FActive;
  if (std::find(active.begin(), active.end(), this) == active.end()) active.push_back(this);
}

void TWavBuffer::Pause() {
  std::lock_guard guard(FOwner.FLock);
  FPaused = true;
  auto& active = FOwner.FActive;
  active.erase(std::remove(active.begin(), active.end(), this), active.end());
}

void TWavBuffer::SetPosition(int64_t bytes) {
  std::lock_guard guard(FOwner.FLock);
  if (!FStream) return;
  FSize = std::max<int64_t>(0, FStream->Size());
  const int64_t pos = std::clamp<int64_t>(bytes, 0, FSize);
  FReadPos = pos - pos % FFrameBytes;
  FStream->Seek(FReadPos);
  FHasCarry = false;
  FEnded = false;
}

void TWavBuffer::SetLoop(bool loop, int64_t loopPos) {
  std::lock_guard guard(FOwner.FLock);
  FLoop = loop;
  FLoopPos = std::max<int64_t>(0, loopPos);
  FLoopPos -= FLoopPos % FFrameBytes;
}

void TWavBuffer::SetVolume(int volume) {
  std::lock_guard guard(FOwner.FLock);
  FVolume = std::clamp(volume, 0, 256);
}

bool TWavBuffer::Playing() const {
  std::lock_guard guard(FOwner.FLock);
  return FPlaying;
}

bool TWavBuffer::Paused() const {
  std::lock_guard guard(FOwner.FLock);
  return FPaused;
}

bool TWavBuffer::AtEnd() const {
  std::lock_guard guard(FOwner.FLock);
  return FAtEnd;
}

int64_t TWavBuffer::ReadPos() const {
  std::lock_guard guard(FOwner.FLock);
  return FReadPos;
}

bool TWavBuffer::IsFinished() const {
  std::lock_guard guard(FOwner.FLock);
  const uint32_t since = FOwner.FClock.NowMs() - FLastMixTime;
  return FAtEnd && since > static_cast<uint32_t>(2 * FOwner.FDelayTime + 10);
}

int64_t TWavBuffer::PlayedPosition() const {
  std::lock_guard guard(FOwner.FLock);
  const uint32_t since = FOwner.FClock.NowMs() - FLastMixTime;
  if (since > static_cast<uint32_t>(2 * FOwner.FDelayTime)) return FReadPos;
  const int64_t scale = int64_t{FFormat.BitsPerSample} * FFormat.Channels * FFormat.SamplesPerSec;
  auto bytes = [&](int64_t ms) { return (scale * ms + 4000) / 8000; };
  return std::clamp<int64_t>(FReadPos - bytes(FOwner.FDelayTime) + bytes(since), 0, FSize);
}

int TWavBuffer::ReadLooping(uint8_t* dst, int bytes) {
  int got = 0;
  int gotAtWrap = -1;  // a pass from the loop start that adds no whole frame ends the sound
  while (got < bytes) {
    int n = 0;
    if (FReadPos < FSize) {
      const int want = static_cast<int>(std::min<int64_t>(bytes - got, FSize - FReadPos));
      n = std::clamp(FStream->Read(dst + got, want), 0, want);
    }
    got += n;
    FReadPos += n;
    if (n > 0) continue;
    // The end: a torn last frame is dropped so the loop start stays aligned.
    got -= got % FFrameBytes;
    if (!FLoop || got == gotAtWrap) {
      FEnded = true;
      break;
    }
    FStream->Seek(FLoopPos);
    FReadPos = FLoopPos;
    gotAtWrap = got;
  }
  return got - got % FFrameBytes;
}

bool TWavBuffer::Mix(int16_t* block, int frames, uint32_t now) {
  if (!FPlaying || FPaused || (FAtEnd && !FHasCarry)) return false;
  FSize = FStream ? std::max<int64_t>(0, FStream->Size()) : 0;
  FLastMixTime = now;
  if (FSize == 0) {
    FAtEnd = true;
    return false;
  }
  if (FRepeat == 0) {
    // Unplayable: pass through the source silently at its own rate, so it
    // still ends when it would have.
    const int64_t rate = FFormat.AvgBytesPerSec ? FFormat.AvgBytesPerSec : int64_t{FFormat.SamplesPerSec} * FFrameBytes;
    int64_t left = std::max<int64_t>(rate * frames / kOutRate, FFrameBytes);
    left -= left % FFrameBytes;
    const int64_t chunk = static_cast<int64_t>(FRaw.size()) - static_cast<int64_t>(FRaw.size()) % FFrameBytes;
    while (left > 0 && !FEnded) {
      const int64_t want = std::min(left, chunk);
      if (ReadLooping(FRaw.data(), static_cast<int>(want)) < want) break;
      left -= want;
    }
    FAtEnd = FEnded || (!FLoop && FReadPos >= FSize);
    return false;
  }
  const int carry = FHasCarry ? 1 : 0;
  const int wanted = (frames - carry + FRepeat - 1) / FRepeat;
  const int got = ReadLooping(FRaw.data(), wanted * FFrameBytes) / FFrameBytes;
  if (carry) {
    FOut[0] = FCarry[0];
    FOut[1] = FCarry[1];
    FHasCarry = false;
  }
  Expand(FFormat, FRepeat, FRaw.data(), got, FOut.data() + carry * 2);
  int produced = carry + got * FRepeat;
  if (produced > frames) {
    FCarry[0] = FOut[frames * 2];
    FCarry[1] = FOut[frames * 2 + 1];
    FHasCarry = true;
    produced = frames;
  }
  const size_t count = static_cast<size_t>(produced) * 2;
  if (FVolume < 255) {
    int16_t* out = FOut.data();
    const int volume = FVolume;
    for (size_t i = 0; i < count; ++i) out[i] = static_cast<int16_t>((out[i] * volume) >> 8);
  }
  MixSaturated(block, FOut.data(), count);
  FAtEnd = !FHasCarry && (FEnded || (!FLoop && FReadPos >= FSize));
  return produced > 0;
}

TWavOut::TWavOut(TSoundBus& bus, int delayTime, IClock& clock)
    : FBus(bus), FClock(clock), FDelayTime(std::clamp(delayTime, 100, 500)) {
  FBlockSize = BlockSizeFor(FDelayTime);
  FBlockFrames = FBlockSize / 4;
}

TWavOut::~TWavOut() { Stop(); }

bool TWavOut::Start(bool thread) {
  {
    std::lock_guard guard(FLock);
    if (FStarted) return false;
    FStarted = true;
    while (FPool.size() < 4) {
      FPool.push_back(std::make_unique<TBlock>());
      FPool.back()->Samples.resize(static_cast<size_t>(FBlockFrames) * 2);
    }
  }
  FBus.Attach(this, &TWavOut::RenderSource);
  if (thread) {
    std::lock_guard guard(FThreadLock);
    FStopThread = false;
    FThread = std::thread([this] { RunThread(); });
  }
  return true;
}

void TWavOut::RunThread() {
  std::unique_lock lock(FThreadLock);
  const auto wake = std::chrono::milliseconds(WakeIntervalMs());
  while (!FWake.wait_for(lock, wake, [this] { return FStopThread; })) {
    lock.unlock();
    MixPass();
    lock.lock();
  }
}

void TWavOut::Stop() {
  {
    std::lock_guard guard(FThreadLock);
    FStopThread = true;
  }
  FWake.notify_all();
  if (FThread.joinable()) FThread.join();
  FBus.Detach(this);
  std::lock_guard guard(FLock);
  FActive.clear();
  FBuffers.clear();
  {
    std::lock_guard queue(FQueueLock);
    FQueue.clear();
  }
  FPool.clear();
  FStarted = false;
}

TWavBuffer* TWavOut::AddBuffer(const TWavFormat& format, std::unique_ptr<IWavSource> stream) {
  std::lock_guard guard(FLock);
  FBuffers.push_back(std::unique_ptr<TWavBuffer>(new TWavBuffer(*this, format, std::move(stream))));
  return FBuffers.back().get();
}

void TWavOut::RemoveBuffer(TWavBuffer* buffer) {
  std::lock_guard guard(FLock);
  FActive.erase(std::remove(FActive.begin(), FActive.end(), buffer), FActive.end());
  FBuffers.erase(std::remove_if(FBuffers.begin(), FBuffers.end(), [&](const auto& b) { return b.get() == buffer; }),
                 FBuffers.end());
}

void TWavOut::SetBlockWritten(std::function<void(const int16_t*, int)> notify) {
  std::lock_guard guard(FLock);
  FBlockWritten = std::move(notify);
}

int TWavOut::QueuedBlocks() const {
  std::lock_guard queue(FQueueLock);
  return static_cast<int>(FQueue.size());
}

void TWavOut::MixPass() {
  std::lock_guard guard(FLock);
  const uint32_t now = FClock.NowMs();
  size_t queued;
  {
    std::lock_guard queue(FQueueLock);
    for (auto it = FQueue.begin(); it != FQueue.end();) {
      if (!(*it)->Done) {
        ++it;
        continue;
      }
      FPool.push_back(std::move(*it));
      it = FQueue.erase(it);
    }
    queued = FQueue.size();
  }
  for (int round = 0; round < 2 && queued <= 1 && !FActive.empty(); ++round) {
    if (FPool.empty()) FPool.push_back(std::make_unique<TBlock>());
    std::unique_ptr<TBlock> block = std::move(FPool.back());
    FPool.pop_back();
    block->Samples.assign(static_cast<size_t>(FBlockFrames) * 2, 0);
    block->Taken = 0;
    block->Done = false;
    bool sounded = false;
    for (TWavBuffer* buffer : FActive) sounded |= buffer->Mix(block->Samples.data(), FBlockFrames, now);
    if (!sounded) {
      FPool.push_back(std::move(block));
      continue;
    }
    if (FBlockWritten) FBlockWritten(block->Samples.data(), FBlockFrames * 4);
    std::lock_guard queue(FQueueLock);
    FQueue.push_back(std::move(block));
    queued = FQueue.size();
  }
}

int32_t TWavOut::RenderSource(void* self, int16_t* samples, int32_t frames) {
  auto* out = static_cast<TWavOut*>(self);
  std::lock_guard queue(out->FQueueLock);
  const size_t wanted = static_cast<size_t>(std::max(frames, 0)) * 2;
  size_t done = 0;
  for (auto& block : out->FQueue) {
    if (done == wanted) break;
    if (block->Done) continue;
    const size_t n = std::min(wanted - done, block->Samples.size() - block->Taken);
    std::memcpy(samples + done, block->Samples.data() + block->Taken, n * sizeof(int16_t));
    block->Taken += n;
    done += n;
    block->Done = block->Taken == block->Samples.size();
  }
  return static_cast<int32_t>(done / 2);
}

}  // namespace kest
