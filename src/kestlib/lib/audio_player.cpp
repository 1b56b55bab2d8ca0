// The player's three sides: the program's thread sets states and asks for
// positions, the library's decoding thread fills blocks, and the device
// thread copies them out. The ring is single-producer single-consumer; a
// seek starts a new generation, and blocks of an older one are dropped.
#include "kestlib/lib/audio_player.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace kestlib {
namespace {

constexpr uint32_t kUnity = 65536;

// The one thread that decodes ahead for every player, one block per player
// per pass so that no sound starves the others.
class TDecodeThread {
 public:
  void Add(TAudioPlayer* player) {
    std::lock_guard guard(FLock);
    FPlayers.push_back(player);
    if (!FThread.joinable()) FThread = std::thread([this] { Run(); });
    FWake.notify_all();
  }

  // Once this returns the thread no longer touches the player.
  void Remove(TAudioPlayer* player) {
    ++FWaiting;
    std::lock_guard guard(FLock);
    --FWaiting;
    FPlayers.erase(std::remove(FPlayers.begin(), FPlayers.end(), player), FPlayers.end());
    FWake.notify_all();
  }

  void Wake() { FWake.notify_all(); }

 private:
  void Run() {
    std::unique_lock lock(FLock);
    for (;;) {
      bool worked = false;
      for (TAudioPlayer* player : FPlayers) worked |= player->Fill();
      if (FWaiting.load() > 0)
        FWake.wait(lock, [this] { return FWaiting.load() == 0; });
      else if (!worked)
        FWake.wait_for(lock, std::chrono::milliseconds(5));
    }
  }

  std::mutex FLock;
  std::condition_variable FWake;
  std::atomic<int> FWaiting{0};
  std::vector<TAudioPlayer*> FPlayers;
  std::thread FThread;
};

// Never destroyed: players still registered at exit must find it.
TDecodeThread& DecodeThread() {
  static auto* thread = new TDecodeThread;
  return *thread;
}

}  // namespace

uint32_t VolumeGain(int32_t value) {
  if (value <= -10000) return 0;
  if (value >= 0) return kUnity;
  return static_cast<uint32_t>(std::lround(kUnity * std::pow(10.0, value / 2000.0)));
}

TAudioPlayer::TAudioPlayer(std::unique_ptr<IAudioDecoder> decoder, KestSoundBus* bus)
    : FDecoder(std::move(decoder)),
      FBus(bus),
      FRate(FDecoder->Rate()),
      FFrames(FDecoder->Frames()),
      FStep((static_cast<uint64_t>(FRate) << 32) / kOutputRate),
      FGains((static_cast<uint64_t>(kUnity) << 32) | kUnity) {
  FFeed.resize(static_cast<size_t>(kFeedFrames) * 2);
  FDecoded.resize(static_cast<size_t>(kFeedFrames) * 2);
  if (!FBus) return;
  DecodeThread().Add(this);
  FBus->attach(FBus->context, this, &TAudioPlayer::Render);
}

TAudioPlayer::~TAudioPlayer() {
  if (!FBus) return;
  FBus->detach(FBus->context, this);
  DecodeThread().Remove(this);
}

int64_t TAudioPlayer::MsToFrame(int32_t ms) const {
  // Rounded up, so that the position read back is the one set.
  return std::min<int64_t>((static_cast<int64_t>(std::max(ms, 0)) * FRate + 999) / 1000, FFrames);
}

int32_t TAudioPlayer::FrameToMs(int64_t frame) const {
  return static_cast<int32_t>(std::min<int64_t>(frame * 1000 / FRate, INT32_MAX));
}

int32_t TAudioPlayer::GetLength() const { return FrameToMs(FFrames); }

void TAudioPlayer::UpdateClock() {
  if (!FPlaying) return;
  const auto now = std::chrono::steady_clock::now();
  FClockBaseMs += std::chrono::duration_cast<std::chrono::milliseconds>(now - FClockStart).count();
  FClockStart += std::chrono::duration_cast<std::chrono::milliseconds>(now - FClockStart);
  const int64_t length = GetLength();
  if (FClockBaseMs < length) return;
  if (FRepeat && FRepeatMs < length) {
    FClockBaseMs = FRepeatMs + (FClockBaseMs - length) % (length - FRepeatMs);
  } else {
    FClockBaseMs = length;
    FClockEnded = true;
    FPlaying = false;
  }
}

bool TAudioPlayer::AtEnd() {
  if (!FBus) {
    UpdateClock();
    return FClockEnded;
  }
  return FEndedGeneration.load(std::memory_order_acquire) == FGeneration.load();
}

void TAudioPlayer::Restart(int64_t frame) {
  FSeekFrame = frame;
  FEndSeen = false;
  if (!FBus) {
    FClockBaseMs = FrameToMs(frame);
    FClockStart = std::chrono::steady_clock::now();
    FClockEnded = false;
    return;
  }
  FRestartFrame.store(frame);
  FGeneration.fetch_add(1, std::memory_order_release);
  DecodeThread().Wake();
}

void TAudioPlayer::Play() {
  if (AtEnd()) Restart(0);
  if (!FPlaying && !FBus) FClockStart = std::chrono::steady_clock::now();
  FPaused = false;
  FPlaying = true;
}

void TAudioPlayer::Pause() {
  const bool playing = IsPlaying();
  UpdateClock();
  FPlaying = false;
  FPaused = playing;
}

bool TAudioPlayer::IsPlaying() { return !AtEnd() && FPlaying; }

bool TAudioPlayer::IsEnd() {
  if (!AtEnd() || FEndSeen) return false;
  FEndSeen = true;
  return true;
}

int64_t TAudioPlayer::PlayedFrame() {
  if (FPlayedGeneration.load(std::memory_order_acquire) != FGeneration.load()) return FSeekFrame;
  return std::min(FPlayedFrame.load(), FFrames);
}

int32_t TAudioPlayer::GetPosition() {
  if (AtEnd()) return GetLength();
  if (!FBus) return static_cast<int32_t>(FClockBaseMs);
  return FrameToMs(PlayedFrame());
}

void TAudioPlayer::SetPosition(int32_t ms) { Restart(MsToFrame(ms)); }

void TAudioPlayer::SetVolume(int32_t value) {
  FVolume = std::clamp(value, -10000, 0);
  SetPan(FPan);
}

void TAudioPlayer::SetPan(int32_t value) {
  FPan = std::clamp(value, -10000, 10000);
  const uint64_t volume = VolumeGain(FVolume);
  const uint64_t left = volume * (FPan > 0 ? VolumeGain(-FPan) : kUnity) / kUnity;
  const uint64_t right = volume * (FPan < 0 ? VolumeGain(FPan) : kUnity) / kUnity;
  FGains.store((left << 32) | right);
}

// A change of the loop while blocks are queued would leave them looping the
// old way; decoding restarts from what is heard now.
void TAudioPlayer::SetRepeat(bool value) {
  if (FRepeat.exchange(value) == value || !FBus || AtEnd()) return;
  Restart(PlayedFrame());
}

void TAudioPlayer::SetRepeatPos(int32_t ms) {
  if (ms == FRepeatMs) return;
  FRepeatMs = std::max(ms, 0);
  FRepeatFrame.store(MsToFrame(FRepeatMs));
  if (FRepeat && FBus && !AtEnd()) Restart(PlayedFrame());
}

// Appends decoded frames to the feed, dropping those the phase has passed;
// at the end of the file jumps to the loop's start or marks the source done.
bool TAudioPlayer::RefillFeed() {
  const int32_t passed = static_cast<int32_t>(std::min<uint64_t>(FPhase >> 32, FFeedFrames));
  if (passed > 0) {
    std::memmove(FFeed.data(), FFeed.data() + 2 * passed, sizeof(int16_t) * 2 * (FFeedFrames - passed));
    FFeedFrames -= passed;
    FPhase -= static_cast<uint64_t>(passed) << 32;
  }
  const int32_t room = kFeedFrames - FFeedFrames;
  const int32_t got = FDecoder->Read(FDecoded.data(), room);
  if (got > 0) {
    int16_t* out = FFeed.data() + 2 * FFeedFrames;
    if (FDecoder->Channels() == 1) {
      for (int32_t i = 0; i < got; ++i) out[2 * i] = out[2 * i + 1] = FDecoded[i];
    } else {
      std::memcpy(out, FDecoded.data(), sizeof(int16_t) * 2 * got);
    }
    FFeedFrames += got;
    FNextSourceFrame += got;
    FReadSinceLoop = true;
    return true;
  }
  const int64_t loop = FRepeatFrame.load();
  if (FRepeat && FReadSinceLoop && loop < FFrames && FDecoder->Seek(loop)) {
    FNextSourceFrame = loop;
    FReadSinceLoop = false;
    return true;
  }
  FSourceDone = true;
  return false;
}

bool TAudioPlayer::Fill() {
  const uint32_t generation = FGeneration.load(std::memory_order_acquire);
  if (generation != FFillGeneration) {
    FFillGeneration = generation;
    const int64_t frame = FRestartFrame.load();
    FSourceDone = !FDecoder->Seek(frame);
    FNextSourceFrame = frame;
    FFeedFrames = 0;
    FPhase = 0;
    FFillDone = false;
    FReadSinceLoop = true;
  }
  if (FFillDone) return false;
  const uint32_t written = FWritten.load(std::memory_order_relaxed);
  if (written - FRead.load(std::memory_order_acquire) >= kBlocks) return false;
  TBlock& block = FBlocks[written % kBlocks];
  block.source_frame = FNextSourceFrame - FFeedFrames + static_cast<int64_t>(FPhase >> 32);
  int16_t* out = block.samples.data();
  int32_t made = 0;
  while (made < kBlockFrames) {
    if ((FPhase >> 32) + 1 >= static_cast<uint64_t>(FFeedFrames) && !FSourceDone) {
      RefillFeed();
      continue;
    }
    // The last frame of a finished source has no successor: it is held.
    const uint64_t limit = static_cast<uint64_t>(FSourceDone ? FFeedFrames : FFeedFrames - 1);
    if ((FPhase >> 32) >= limit) break;
    const int16_t* feed = FFeed.data();
    if (FStep == uint64_t{1} << 32) {
      // At the output's own rate every frame is copied as it is.
      const uint64_t at = FPhase >> 32;
      const int32_t n = static_cast<int32_t>(std::min<uint64_t>(kBlockFrames - made, limit - at));
      std::memcpy(out + 2 * made, feed + 2 * at, sizeof(int16_t) * 2 * n);
      made += n;
      FPhase += static_cast<uint64_t>(n) << 32;
      continue;
    }
    while (made < kBlockFrames && (FPhase >> 32) < limit) {
      const uint64_t at = FPhase >> 32;
      const int16_t* a = feed + 2 * at;
      const int16_t* b = at + 1 < static_cast<uint64_t>(FFeedFrames) ? a + 2 : a;
      const int32_t fraction = static_cast<int32_t>((FPhase >> 16) & 0xFFFF);
      out[2 * made] = static_cast<int16_t>(a[0] + (((b[0] - a[0]) * fraction) >> 16));
      out[2 * made + 1] = static_cast<int16_t>(a[1] + (((b[1] - a[1]) * fraction) >> 16));
      ++made;
      FPhase += FStep;
    }
  }
  block.frames = made;
  block.last = FSourceDone && (FPhase >> 32) >= static_cast<uint64_t>(FFeedFrames);
  block.generation = generation;
  FFillDone = block.last;
  FWritten.store(written + 1, std::memory_order_release);
  return true;
}

void TAudioPlayer::ApplyGain(const int16_t* in, int16_t* out, int32_t frames) const {
  const uint64_t gains = FGains.load(std::memory_order_relaxed);
  const int32_t left = static_cast<int32_t>(gains >> 32);
  const int32_t right = static_cast<int32_t>(gains & 0xFFFFFFFF);
  if (left == static_cast<int32_t>(kUnity) && right == static_cast<int32_t>(kUnity)) {
    std::memcpy(out, in, sizeof(int16_t) * 2 * frames);
    return;
  }
  for (int32_t i = 0; i < frames; ++i) {
    out[2 * i] = static_cast<int16_t>((in[2 * i] * left) >> 16);
    out[2 * i + 1] = static_cast<int16_t>((in[2 * i + 1] * right) >> 16);
  }
}

int32_t TAudioPlayer::Render(void* self, int16_t* samples, int32_t frames) {
  auto* player = static_cast<TAudioPlayer*>(self);
  int32_t done = player->RenderBlocks(samples, frames);
  if (!player->FBus || !player->FBus->game_time) return done;
  // On game time nobody is listening in real time: wait for the decoder (for
  // a while at most) instead of letting the run depend on its speed.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (done < frames && player->AwaitingData() && std::chrono::steady_clock::now() < deadline) {
    DecodeThread().Wake();
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    done += player->RenderBlocks(samples + 2 * done, frames - done);
  }
  return done;
}

bool TAudioPlayer::AwaitingData() const {
  const uint32_t generation = FGeneration.load(std::memory_order_acquire);
  return FPlaying.load() && FEndedGeneration.load(std::memory_order_acquire) != generation;
}

int32_t TAudioPlayer::RenderBlocks(int16_t* samples, int32_t frames) {
  const uint32_t generation = FGeneration.load(std::memory_order_acquire);
  const bool playing = FPlaying.load(std::memory_order_relaxed);
  uint32_t read = FRead.load(std::memory_order_relaxed);
  const uint32_t written = FWritten.load(std::memory_order_acquire);
  int32_t done = 0;
  bool freed = false;
  while (read != written) {
    TBlock& block = FBlocks[read % kBlocks];
    if (block.generation == generation) {
      if (!playing || done == frames) break;
      const int32_t n = std::min(block.frames - FBlockOffset, frames - done);
      ApplyGain(block.samples.data() + 2 * FBlockOffset, samples + 2 * done, n);
      FBlockOffset += n;
      done += n;
      FPlayedFrame.store(block.source_frame + static_cast<int64_t>((FBlockOffset * FStep) >> 32));
      FPlayedGeneration.store(generation, std::memory_order_release);
      if (FBlockOffset < block.frames) break;
      if (block.last) FEndedGeneration.store(generation, std::memory_order_release);
    }
    FBlockOffset = 0;
    FRead.store(++read, std::memory_order_release);
    freed = true;
  }
  if (freed) DecodeThread().Wake();
  return done;
}

}  // namespace kestlib
