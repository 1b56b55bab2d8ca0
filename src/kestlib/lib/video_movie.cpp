#include "kestlib/lib/video_movie.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "kestlib/lib/video_clock.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace kestlib::video {
namespace {

constexpr int kOutputRate = 44100;
// Frames decoded ahead; while the sound runs low the decoder may go past
// this (an interleave that puts the sound far behind the pictures), up to the
// hard limit.
constexpr size_t kQueueFrames = 4;
constexpr size_t kQueueLimit = 48;
constexpr size_t kRingFrames = kOutputRate * 2;
constexpr size_t kSoundAhead = kOutputRate;
constexpr size_t kSoundLow = kOutputRate / 4;
constexpr int32_t kMaxSide = 4096;
// Times beyond this are damaged data, not a movie anyone made.
constexpr int64_t kMaxMs = int64_t{1} << 40;
// How long a caller on the hand-driven clock waits for the decoder at most.
constexpr auto kManualWait = std::chrono::seconds(10);

// The containers a movie may come in. Nothing else is probed, and nothing
// may open further files by name from inside the data.
constexpr const char* kFormats = "avi,mpeg,mpegvideo,mpegts,asf,mov,matroska,ogg";

int64_t ClampMs(int64_t ms) { return std::clamp<int64_t>(ms, -kMaxMs, kMaxMs); }

int64_t ToMs(int64_t value, AVRational base) {
  if (value == AV_NOPTS_VALUE || base.num <= 0 || base.den <= 0) return AV_NOPTS_VALUE;
  return ClampMs(av_rescale_q_rnd(value, base, AVRational{1, 1000},
                                  static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX)));
}

int RefuseOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) { return AVERROR(EPERM); }

AVPixelFormat LayoutOf(int32_t bits) {
  switch (bits) {
    case 32: return AV_PIX_FMT_BGR0;
    case 16: return AV_PIX_FMT_RGB565LE;
    case 15: return AV_PIX_FMT_RGB555LE;
    default: return AV_PIX_FMT_NONE;
  }
}

float GainOf(int32_t hundredthsDb) {
  if (hundredthsDb <= -10000) return 0.0f;
  return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

int16_t Scaled(int16_t sample, float gain) {
  float v = static_cast<float>(sample) * gain;
  return static_cast<int16_t>(std::clamp(v, -32768.0f, 32767.0f));
}

}  // namespace

std::unique_ptr<TVideoMovie> TVideoMovie::Open(const char* fileName, void* stream, const TLibCallbacks& callbacks,
                                               KestSoundBus* bus) {
  std::unique_ptr<TVideoMovie> movie(new TVideoMovie);
  if (!movie->OpenStreams(fileName, stream, callbacks, bus != nullptr)) return nullptr;
  movie->FThread = std::thread([m = movie.get()] { m->DecodeLoop(); });
  movie->AttachSound(bus);
  return movie;
}

bool TVideoMovie::OpenStreams(const char* fileName, void* stream, const TLibCallbacks& callbacks, bool withSound) {
  if (!FSource.Open(fileName, stream, callbacks)) return false;
  FFormat = avformat_alloc_context();
  if (!FFormat) return false;
  FFormat->pb = FSource.Context();
  FFormat->flags |= AVFMT_FLAG_CUSTOM_IO;
  FFormat->io_open = RefuseOpen;
  AVDictionary* options = nullptr;
  av_dict_set(&options, "format_whitelist", kFormats, 0);
  int opened = avformat_open_input(&FFormat, fileName ? fileName : "", nullptr, &options);
  av_dict_free(&options);
  if (opened < 0) return false;  // the context is freed by the failed open
  if (avformat_find_stream_info(FFormat, nullptr) < 0) return false;

  const AVCodec* codec = nullptr;
  FVideoIndex = av_find_best_stream(FFormat, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
  if (FVideoIndex < 0 || !codec) return false;
  AVStream* video = FFormat->streams[FVideoIndex];
  FVideo = avcodec_alloc_context3(codec);
  if (!FVideo || avcodec_parameters_to_context(FVideo, video->codecpar) < 0) return false;
  FVideo->thread_count = 1;
  FVideo->max_pixels = int64_t{kMaxSide} * kMaxSide;
  if (avcodec_open2(FVideo, codec, nullptr) < 0) return false;
  FWidth = FVideo->width;
  FHeight = FVideo->height;
  if (FWidth <= 0 || FHeight <= 0 || FWidth > kMaxSide || FHeight > kMaxSide) return false;

  // Time 0 is the first picture; sound before it is left out.
  int64_t start = ToMs(video->start_time, video->time_base);
  if (start == AV_NOPTS_VALUE && FFormat->start_time != AV_NOPTS_VALUE) start = ClampMs(FFormat->start_time / 1000);
  FStartMs = start == AV_NOPTS_VALUE ? 0 : start;
  AVRational rate = av_guess_frame_rate(FFormat, video, nullptr);
  if (rate.num > 0 && rate.den > 0) FFrameMs = std::clamp<int64_t>(av_rescale(1000, rate.den, rate.num), 1, 10000);

  FPacket = av_packet_alloc();
  FDecoded = av_frame_alloc();
  if (!FPacket || !FDecoded) return false;
  FLengthMs = static_cast<int32_t>(std::clamp<int64_t>(MeasureLength(), 0, std::numeric_limits<int32_t>::max()));
  if (withSound && !OpenSound()) {
    avcodec_free_context(&FSound);
    swr_free(&FResampler);
    FSoundIndex = -1;
  }
  for (unsigned i = 0; i < FFormat->nb_streams; ++i)
    if (static_cast<int>(i) != FVideoIndex && static_cast<int>(i) != FSoundIndex)
      FFormat->streams[i]->discard = AVDISCARD_ALL;
  return true;
}

int64_t TVideoMovie::MeasureLength() {
  AVStream* video = FFormat->streams[FVideoIndex];
  if (FFormat->duration_estimation_method != AVFMT_DURATION_FROM_PTS) {
    int64_t length = ToMs(video->duration, video->time_base);
    if (length == AV_NOPTS_VALUE || length <= 0) length = FFormat->duration > 0 ? FFormat->duration / 1000 : 0;
    return ClampMs(length);
  }
  // A stream without an index (MPEG) is timed by the last pictures in the
  // file: the tail is read again, as far as a few hundred kilobytes.
  constexpr int64_t kTail = 256 * 1024;
  int64_t size = avio_size(FFormat->pb);
  int64_t last = AV_NOPTS_VALUE;
  if (size > 0 && avio_seek(FFormat->pb, std::max<int64_t>(0, size - kTail), SEEK_SET) >= 0) {
    avformat_flush(FFormat);
    for (int packets = 0; packets < 4096 && av_read_frame(FFormat, FPacket) >= 0; ++packets) {
      if (FPacket->stream_index == FVideoIndex) {
        // Without its own time a picture is shown a frame after it is decoded.
        int64_t ms = FPacket->pts != AV_NOPTS_VALUE ? ToMs(FPacket->pts, video->time_base)
                                                    : ToMs(FPacket->dts, video->time_base);
        if (ms != AV_NOPTS_VALUE && FPacket->pts == AV_NOPTS_VALUE) ms += FFrameMs;
        if (ms != AV_NOPTS_VALUE) last = last == AV_NOPTS_VALUE ? ms : std::max(last, ms);
      }
      av_packet_unref(FPacket);
    }
    avio_seek(FFormat->pb, 0, SEEK_SET);
    avformat_flush(FFormat);
  }
  if (last == AV_NOPTS_VALUE) return FFormat->duration > 0 ? ClampMs(FFormat->duration / 1000) : 0;
  return ClampMs(last + FFrameMs - FStartMs);
}

bool TVideoMovie::OpenSound() {
  const AVCodec* codec = nullptr;
  FSoundIndex = av_find_best_stream(FFormat, AVMEDIA_TYPE_AUDIO, -1, FVideoIndex, &codec, 0);
  if (FSoundIndex < 0 || !codec) return false;
  FSound = avcodec_alloc_context3(codec);
  if (!FSound || avcodec_parameters_to_context(FSound, FFormat->streams[FSoundIndex]->codecpar) < 0) return false;
  FSound->thread_count = 1;
  if (avcodec_open2(FSound, codec, nullptr) < 0) return false;
  if (FSound->sample_rate < 1000 || FSound->sample_rate > 384000) return false;
  if (FSound->ch_layout.nb_channels < 1 || FSound->ch_layout.nb_channels > 8) return false;
  if (FSound->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
    int channels = FSound->ch_layout.nb_channels;
    av_channel_layout_uninit(&FSound->ch_layout);
    av_channel_layout_default(&FSound->ch_layout, channels);
  }
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  if (swr_alloc_set_opts2(&FResampler, &stereo, AV_SAMPLE_FMT_S16, kOutputRate, &FSound->ch_layout, FSound->sample_fmt,
                          FSound->sample_rate, 0, nullptr) < 0)
    return false;
  if (swr_init(FResampler) < 0) return false;
  FRing.assign(kRingFrames * 2, 0);
  return true;
}

void TVideoMovie::AttachSound(KestSoundBus* bus) {
  if (!bus || !FSound) return;
  {
    std::lock_guard guard(FLock);
    // On the hand-driven clock the pictures keep it; the sound follows.
    FSoundClock = !ClockFollowsGameTime();
    FBus = bus;
  }
  FBus->attach(FBus->context, this, &TVideoMovie::Render);
}

TVideoMovie::~TVideoMovie() {
  if (FBus) FBus->detach(FBus->context, this);
  if (FThread.joinable()) {
    {
      std::lock_guard guard(FLock);
      FStop = true;
    }
    FWake.notify_all();
    FThread.join();
  }
  DropQueue();
  av_frame_free(&FCurrent);
  av_free(FPixels);
  sws_freeContext(FScaler);
  swr_free(&FResampler);
  avcodec_free_context(&FVideo);
  avcodec_free_context(&FSound);
  av_frame_free(&FDecoded);
  av_packet_free(&FPacket);
  avformat_close_input(&FFormat);
}

// ---- The decoding thread ----

bool TVideoMovie::BuffersFull() const {
  if (FQueue.size() >= kQueueLimit) return true;
  if (!FSound) return FQueue.size() >= kQueueFrames;
  if (FRingCount >= kSoundAhead) return true;
  return FQueue.size() >= kQueueFrames && FRingCount >= kSoundLow;
}

void TVideoMovie::DecodeLoop() {
  uint64_t generation = 0;
  int64_t skipMs = 0;
  for (;;) {
    int64_t seekTo = -1;
    {
      std::unique_lock lock(FLock);
      for (;;) {
        if (FStop) return;
        if (FSeekPending) {
          FSeekPending = false;
          seekTo = FSeekMs;
          generation = FGeneration;
          break;
        }
        bool full = false;
        {
          std::lock_guard sound(FSoundLock);
          full = BuffersFull();
        }
        if (!FDecoderEof && !full) break;
        FDecoderFull = full && !FDecoderEof;
        FReady.notify_all();
        FWake.wait(lock);
      }
      FDecoderFull = false;
    }
    if (seekTo >= 0) {
      SeekDecoders(seekTo);
      skipMs = seekTo;
    }
    if (!ReadPacket(generation, skipMs)) FinishStream(generation, skipMs);
  }
}

void TVideoMovie::SeekDecoders(int64_t ms) {
  int64_t target = (FStartMs + ms) * 1000;
  if (avformat_seek_file(FFormat, -1, std::numeric_limits<int64_t>::min(), target, target, 0) < 0 &&
      av_seek_frame(FFormat, -1, target, AVSEEK_FLAG_BACKWARD) < 0 && ms == 0)
    av_seek_frame(FFormat, -1, 0, AVSEEK_FLAG_BYTE);
  avcodec_flush_buffers(FVideo);
  if (FSound) {
    avcodec_flush_buffers(FSound);
    swr_close(FResampler);
    swr_init(FResampler);
  }
  FLastPushedMs = ms;
}

int64_t TVideoMovie::FrameMs(int64_t pts, int streamIndex) const {
  int64_t ms = ToMs(pts, FFormat->streams[streamIndex]->time_base);
  if (ms == AV_NOPTS_VALUE) return AV_NOPTS_VALUE;
  return ClampMs(ms - FStartMs);
}

bool TVideoMovie::ReadPacket(uint64_t generation, int64_t skipMs) {
  if (av_read_frame(FFormat, FPacket) < 0) return false;
  if (FPacket->stream_index == FVideoIndex) {
    if (avcodec_send_packet(FVideo, FPacket) >= 0) ReceiveVideo(generation, skipMs);
  } else if (FPacket->stream_index == FSoundIndex && FSound) {
    if (avcodec_send_packet(FSound, FPacket) >= 0) ReceiveSound(generation, skipMs);
  }
  av_packet_unref(FPacket);
  return true;
}

void TVideoMovie::ReceiveVideo(uint64_t generation, int64_t skipMs) {
  while (avcodec_receive_frame(FVideo, FDecoded) >= 0) {
    int64_t ms = FrameMs(FDecoded->best_effort_timestamp, FVideoIndex);
    // Shown in decoding order, so a time that goes back (damaged data) is
    // taken as the time of the frame before.
    ms = ms == AV_NOPTS_VALUE ? FLastPushedMs + FFrameMs : std::max(ms, FLastPushedMs);
    FLastPushedMs = ms;
    if (ms + FFrameMs <= skipMs || FDecoded->width <= 0 || FDecoded->height <= 0 || FDecoded->width > kMaxSide ||
        FDecoded->height > kMaxSide) {
      av_frame_unref(FDecoded);
      continue;
    }
    AVFrame* frame = av_frame_alloc();
    if (!frame) {
      av_frame_unref(FDecoded);
      continue;
    }
    av_frame_move_ref(frame, FDecoded);
    std::lock_guard guard(FLock);
    if (generation != FGeneration) {
      av_frame_free(&frame);
      continue;
    }
    FQueue.push_back({frame, ms});
    FLastEndMs = std::max(FLastEndMs, ms + FFrameMs);
    FReady.notify_all();
  }
}

void TVideoMovie::ReceiveSound(uint64_t generation, int64_t skipMs) {
  while (avcodec_receive_frame(FSound, FDecoded) >= 0) {
    // A stream that changes its format halfway is damaged; what no longer
    // fits the resampler is left out.
    if (FDecoded->format != FSound->sample_fmt || FDecoded->sample_rate != FSound->sample_rate ||
        FDecoded->ch_layout.nb_channels != FSound->ch_layout.nb_channels || FDecoded->nb_samples <= 0) {
      av_frame_unref(FDecoded);
      continue;
    }
    int64_t ms = FrameMs(FDecoded->best_effort_timestamp, FSoundIndex);
    int capacity = swr_get_out_samples(FResampler, FDecoded->nb_samples);
    if (capacity <= 0) {
      av_frame_unref(FDecoded);
      continue;
    }
    FConverted.resize(static_cast<size_t>(capacity) * 2);
    uint8_t* out = reinterpret_cast<uint8_t*>(FConverted.data());
    int got = swr_convert(FResampler, &out, capacity, const_cast<const uint8_t**>(FDecoded->extended_data),
                          FDecoded->nb_samples);
    av_frame_unref(FDecoded);
    if (got <= 0) continue;
    size_t skip = 0;
    if (ms != AV_NOPTS_VALUE && ms < skipMs)
      skip = static_cast<size_t>(std::min<int64_t>(got, (skipMs - ms) * kOutputRate / 1000));
    std::lock_guard sound(FSoundLock);
    if (generation != FSoundGeneration) continue;
    for (size_t i = skip; i < static_cast<size_t>(got) && FRingCount < kRingFrames; ++i) {
      size_t at = (FRingHead + FRingCount) % kRingFrames;
      FRing[at * 2] = FConverted[i * 2];
      FRing[at * 2 + 1] = FConverted[i * 2 + 1];
      ++FRingCount;
    }
  }
}

void TVideoMovie::FinishStream(uint64_t generation, int64_t skipMs) {
  avcodec_send_packet(FVideo, nullptr);
  ReceiveVideo(generation, skipMs);
  if (FSound) {
    avcodec_send_packet(FSound, nullptr);
    ReceiveSound(generation, skipMs);
  }
  {
    std::lock_guard sound(FSoundLock);
    if (generation == FSoundGeneration) FSoundEof = true;
  }
  std::lock_guard guard(FLock);
  if (generation == FGeneration) FDecoderEof = true;
  FReady.notify_all();
}

// ---- The clock and the play state (under FLock) ----

int64_t TVideoMovie::ClockMs() {
  if (!FClockRunning) return FBaseMs;
  if (FSoundClock) {
    std::lock_guard sound(FSoundLock);
    int64_t ms = FSoundBaseMs + FSoundConsumed * 1000 / kOutputRate;
    // The pictures go on by the monotonic clock once the sound is over, or
    // when it has run dry while the pictures ahead fill every slot (a sound
    // track that stops before the pictures do).
    bool starved = FRingCount == 0 && FDecoderFull;
    if (FRingCount > 0 || (!FSoundEof && !starved)) return ms;
    FSoundClock = false;
    FBaseMs = ms;
    FAnchor = ClockNow();
    return ms;
  }
  return FBaseMs + (ClockNow() - FAnchor);
}

void TVideoMovie::SetRunning() {
  bool running = FPlaying && !FPaused && !FSuspended && !FEnded;
  if (running == FClockRunning) return;
  if (running) {
    FAnchor = ClockNow();
    FClockRunning = true;
  } else {
    FBaseMs = ClockMs();
    FClockRunning = false;
  }
  FSoundRunning.store(running);
}

void TVideoMovie::DropQueue() {
  for (TQueued& queued : FQueue) av_frame_free(&queued.frame);
  FQueue.clear();
}

void TVideoMovie::SeekLocked(int64_t ms) {
  DropQueue();
  ++FGeneration;
  FSeekPending = true;
  FSeekMs = ms;
  FDecoderEof = false;
  FDecoderFull = false;
  FLastEndMs = ms;
  FBaseMs = ms;
  FAnchor = ClockNow();
  FEnded = false;
  FEndPending = false;
  {
    std::lock_guard sound(FSoundLock);
    ++FSoundGeneration;
    FRingHead = 0;
    FRingCount = 0;
    FSoundConsumed = 0;
    FSoundBaseMs = ms;
    FSoundEof = false;
  }
  FSoundClock = FBus != nullptr && !ClockFollowsGameTime();
  FSoundRunning.store(FClockRunning);
  FWake.notify_all();
}

void TVideoMovie::Update(std::unique_lock<std::mutex>& lock) {
  bool manual = ClockIsManual();
  auto deadline = std::chrono::steady_clock::now() + kManualWait;
  int64_t now = 0;
  for (;;) {
    now = ClockMs();
    bool popped = false;
    while (!FQueue.empty() && FQueue.front().ms <= now) {
      av_frame_free(&FCurrent);
      FCurrent = FQueue.front().frame;
      FQueue.pop_front();
      ++FCurrentSerial;
      FNeedPaint = true;
      popped = true;
    }
    if (popped) {
      FDecoderFull = false;
      FWake.notify_all();
    }
    // On the hand-driven clock the answer waits until the decoder has
    // something beyond this moment, has finished, or has filled up.
    if (!manual || FStop) break;
    if (!FSeekPending && (!FQueue.empty() || FDecoderEof || FDecoderFull)) break;
    if (FReady.wait_until(lock, deadline) == std::cv_status::timeout) break;
  }
  if (FEnded || !FPlaying || FSeekPending || !FDecoderEof || !FQueue.empty() || now < FLastEndMs) return;
  if (FSoundClock) return;  // the sound still plays
  if (FAutoRepeat.load()) {
    SeekLocked(0);
    FEndPending = true;
    return;
  }
  FEndPending = true;
  FEnded = true;
  SetRunning();
}

// ---- Entry points ----

void TVideoMovie::Play() {
  std::unique_lock lock(FLock);
  if (FEnded) SeekLocked(0);
  FPlaying = true;
  FPaused = false;
  SetRunning();
}

void TVideoMovie::Pause() {
  std::unique_lock lock(FLock);
  FPaused = true;
  SetRunning();
}

void TVideoMovie::Suspend(bool suspended) {
  std::unique_lock lock(FLock);
  FSuspended = suspended;
  SetRunning();
}

bool TVideoMovie::IsPlaying() {
  std::unique_lock lock(FLock);
  Update(lock);
  return FPlaying && !FPaused && !FEnded;
}

bool TVideoMovie::IsPaused() {
  std::unique_lock lock(FLock);
  return FPaused;
}

bool TVideoMovie::TakeEnd() {
  std::unique_lock lock(FLock);
  Update(lock);
  bool end = FEndPending;
  FEndPending = false;
  return end;
}

int32_t TVideoMovie::Position() {
  std::unique_lock lock(FLock);
  Update(lock);
  int64_t ms = std::max<int64_t>(0, ClockMs());
  if (FLengthMs > 0) ms = std::min<int64_t>(ms, FLengthMs);
  return static_cast<int32_t>(std::min<int64_t>(ms, std::numeric_limits<int32_t>::max()));
}

void TVideoMovie::SetPosition(int32_t ms) {
  std::unique_lock lock(FLock);
  int64_t target = std::max<int32_t>(ms, 0);
  if (FLengthMs > 0) target = std::min<int64_t>(target, FLengthMs);
  SeekLocked(target);
}

void TVideoMovie::SetGains() {
  float volume = GainOf(FVolume.load());
  int32_t pan = FPan.load();
  FGainLeft.store(volume * (pan > 0 ? GainOf(-pan) : 1.0f));
  FGainRight.store(volume * (pan < 0 ? GainOf(pan) : 1.0f));
}

void TVideoMovie::SetVolume(int32_t value) {
  FVolume.store(std::clamp(value, -10000, 0));
  SetGains();
}

void TVideoMovie::SetPan(int32_t value) {
  FPan.store(std::clamp(value, -10000, 10000));
  SetGains();
}

int32_t TVideoMovie::Render(void* source, int16_t* samples, int32_t frames) {
  auto* self = static_cast<TVideoMovie*>(source);
  if (!self->FSoundRunning.load() || frames <= 0) return 0;
  float left = self->FGainLeft.load();
  float right = self->FGainRight.load();
  std::lock_guard sound(self->FSoundLock);
  size_t count = std::min<size_t>(static_cast<size_t>(frames), self->FRingCount);
  for (size_t i = 0; i < count; ++i) {
    size_t at = (self->FRingHead + i) % kRingFrames;
    samples[i * 2] = Scaled(self->FRing[at * 2], left);
    samples[i * 2 + 1] = Scaled(self->FRing[at * 2 + 1], right);
  }
  self->FRingHead = (self->FRingHead + count) % kRingFrames;
  self->FRingCount -= count;
  self->FSoundConsumed += static_cast<int64_t>(count);
  return static_cast<int32_t>(count);
}

// ---- Frames ----

bool TVideoMovie::NeedPaint() {
  std::unique_lock lock(FLock);
  Update(lock);
  return FNeedPaint;
}

void TVideoMovie::FrameDone() {
  std::unique_lock lock(FLock);
  FNeedPaint = false;
}

bool TVideoMovie::GetFrame(int32_t bits, KestVideoFrame* frame) {
  AVPixelFormat layout = LayoutOf(bits);
  if (!frame || layout == AV_PIX_FMT_NONE) return false;
  std::unique_lock lock(FLock);
  Update(lock);
  if (!FCurrent) return false;
  if (FPixelsSerial != FCurrentSerial || FPixelsBits != bits) {
    int32_t bytes = bits == 32 ? 4 : 2;
    int32_t pitch = FFALIGN(FWidth * bytes, 64);
    size_t size = static_cast<size_t>(pitch) * static_cast<size_t>(FHeight);
    if (size > FPixelsSize) {
      av_free(FPixels);
      FPixels = static_cast<uint8_t*>(av_malloc(size));
      FPixelsSize = FPixels ? size : 0;
      if (!FPixels) return false;
    }
    FScaler =
        sws_getCachedContext(FScaler, FCurrent->width, FCurrent->height, static_cast<AVPixelFormat>(FCurrent->format),
                             FWidth, FHeight, layout, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!FScaler) return false;
    uint8_t* planes[4] = {FPixels, nullptr, nullptr, nullptr};
    int pitches[4] = {pitch, 0, 0, 0};
    sws_scale(FScaler, FCurrent->data, FCurrent->linesize, 0, FCurrent->height, planes, pitches);
    FPixelsSerial = FCurrentSerial;
    FPixelsBits = bits;
    FPitch = pitch;
  }
  *frame = KestVideoFrame{FPixels, FPitch, FWidth, FHeight, bits};
  return true;
}

}  // namespace kestlib::video
