// WMA in ASF, and WAV encodings our own reader leaves (ADPCM, mu-law), through
// FFmpeg: the demuxer reads a byte source through a custom I/O context, and
// swresample turns the decoder's frames into interleaved 16-bit samples at
// the file's own rate.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

#include "kestlib/lib/audio_source.h"

namespace kestlib {
namespace {

int ReadPacket(void* data, uint8_t* buffer, int size) {
  const int32_t got = static_cast<IByteSource*>(data)->Read(buffer, size);
  return got > 0 ? got : AVERROR_EOF;
}

int64_t SeekPacket(void* data, int64_t offset, int whence) {
  auto* source = static_cast<IByteSource*>(data);
  whence &= ~AVSEEK_FORCE;
  if (whence == AVSEEK_SIZE) return source->Size();
  int64_t target = offset;
  if (whence == SEEK_CUR) target += source->Position();
  if (whence == SEEK_END) target += source->Size();
  return source->Seek(target) ? target : -1;
}

constexpr int kIoBufferSize = 32768;
// Packets that give no frame in a row before the file counts as ended.
constexpr int kMaxFailures = 256;
// One decoded frame larger than this is not a sound of ours.
constexpr int kMaxFrameSamples = 1 << 20;

class TFfmpegDecoder : public IAudioDecoder {
 public:
  explicit TFfmpegDecoder(std::unique_ptr<IByteSource> source) : FSource(std::move(source)) {}

  ~TFfmpegDecoder() override {
    swr_free(&FResampler);
    av_frame_free(&FFrame);
    av_packet_free(&FPacket);
    avcodec_free_context(&FCodec);
    avformat_close_input(&FFormat);
    if (FIo) av_freep(&FIo->buffer);
    avio_context_free(&FIo);
  }

  bool Open(const char* formatName) {
    const AVInputFormat* format = av_find_input_format(formatName);
    if (!format || !FSource->Seek(0)) return false;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
    if (!buffer) return false;
    FIo = avio_alloc_context(buffer, kIoBufferSize, 0, FSource.get(), ReadPacket, nullptr, SeekPacket);
    if (!FIo) {
      av_free(buffer);
      return false;
    }
    FFormat = avformat_alloc_context();
    if (!FFormat) return false;
    FFormat->pb = FIo;
    FFormat->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (avformat_open_input(&FFormat, nullptr, format, nullptr) < 0) return false;
    if (avformat_find_stream_info(FFormat, nullptr) < 0) return false;
    FStream = av_find_best_stream(FFormat, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (FStream < 0) return false;
    const AVStream* stream = FFormat->streams[FStream];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) return false;
    FCodec = avcodec_alloc_context3(codec);
    if (!FCodec || avcodec_parameters_to_context(FCodec, stream->codecpar) < 0) return false;
    if (avcodec_open2(FCodec, codec, nullptr) < 0) return false;
    const int channels = FCodec->ch_layout.nb_channels;
    if (channels < 1 || FCodec->sample_rate < kMinRate || FCodec->sample_rate > kMaxRate) return false;
    FChannels = std::min(channels, 2);
    FRate = FCodec->sample_rate;
    FTimeBase = stream->time_base;
    if (stream->duration > 0 && stream->time_base.num > 0 && stream->time_base.den > 0)
      FFrames = av_rescale_q(stream->duration, stream->time_base, AVRational{1, FRate});
    else if (FFormat->duration > 0)
      FFrames = av_rescale_q(FFormat->duration, AVRational{1, AV_TIME_BASE}, AVRational{1, FRate});
    if (FFrames <= 0) return false;
    FPacket = av_packet_alloc();
    FFrame = av_frame_alloc();
    return FPacket && FFrame && MakeResampler();
  }

  bool Seek(int64_t frame) override {
    frame = std::clamp<int64_t>(frame, 0, FFrames);
    FPending.clear();
    FPendingAt = 0;
    FEnded = false;
    FFlushed = false;
    const int64_t stamp = av_rescale_q(frame, AVRational{1, FRate}, FTimeBase);
    if (av_seek_frame(FFormat, FStream, stamp, AVSEEK_FLAG_BACKWARD) < 0 &&
        avformat_seek_file(FFormat, FStream, INT64_MIN, stamp, stamp, AVSEEK_FLAG_BACKWARD) < 0)
      return false;
    avcodec_flush_buffers(FCodec);
    FNext = -1;
    FSkipTo = frame;
    FPosition = frame;
    return true;
  }

  int32_t Read(int16_t* samples, int32_t frames) override {
    int32_t done = 0;
    while (done < frames && FPosition < FFrames) {
      if (FPendingAt == FPendingFrames() && !DecodeMore()) break;
      const int32_t n =
          static_cast<int32_t>(std::min<int64_t>({frames - done, FPendingFrames() - FPendingAt, FFrames - FPosition}));
      std::memcpy(samples + static_cast<size_t>(done) * FChannels,
                  FPending.data() + static_cast<size_t>(FPendingAt) * FChannels, sizeof(int16_t) * n * FChannels);
      FPendingAt += n;
      done += n;
      FPosition += n;
    }
    return done;
  }

 private:
  int64_t FPendingFrames() const { return static_cast<int64_t>(FPending.size()) / FChannels; }

  bool MakeResampler() {
    AVChannelLayout in_layout{};
    if (FCodec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
      av_channel_layout_default(&in_layout, FCodec->ch_layout.nb_channels);
    else if (av_channel_layout_copy(&in_layout, &FCodec->ch_layout) < 0)
      return false;
    AVChannelLayout out_layout{};
    av_channel_layout_default(&out_layout, FChannels);
    const int result = swr_alloc_set_opts2(&FResampler, &out_layout, AV_SAMPLE_FMT_S16, FRate, &in_layout,
                                           FCodec->sample_fmt, FRate, 0, nullptr);
    av_channel_layout_uninit(&in_layout);
    av_channel_layout_uninit(&out_layout);
    return result >= 0 && swr_init(FResampler) >= 0;
  }

  // Decodes the next frame into FPending, dropping what lies before a seek's
  // target; false at the end of the file.
  bool DecodeMore() {
    FPending.clear();
    FPendingAt = 0;
    for (int failures = 0; !FEnded && failures < kMaxFailures;) {
      const int received = avcodec_receive_frame(FCodec, FFrame);
      if (received == 0) {
        const bool converted = Convert();
        av_frame_unref(FFrame);
        if (!converted) return false;
        if (FPendingAt < FPendingFrames()) return true;
        ++failures;
        continue;
      }
      if (received != AVERROR(EAGAIN) || FFlushed) {
        FEnded = true;
        break;
      }
      const int read = av_read_frame(FFormat, FPacket);
      if (read < 0) {
        avcodec_send_packet(FCodec, nullptr);
        FFlushed = true;
        continue;
      }
      if (FPacket->stream_index == FStream && avcodec_send_packet(FCodec, FPacket) < 0) ++failures;
      if (FPacket->stream_index != FStream) ++failures;
      av_packet_unref(FPacket);
    }
    return false;
  }

  bool Convert() {
    const int count = FFrame->nb_samples;
    if (count <= 0 || count > kMaxFrameSamples || FFrame->sample_rate != FRate ||
        FFrame->ch_layout.nb_channels != FCodec->ch_layout.nb_channels || FFrame->format != FCodec->sample_fmt)
      return count == 0;
    int64_t start = FNext;
    if (FFrame->best_effort_timestamp != AV_NOPTS_VALUE)
      start = av_rescale_q(FFrame->best_effort_timestamp, FTimeBase, AVRational{1, FRate});
    if (start < 0) start = FNext < 0 ? FSkipTo : FNext;
    FNext = start + count;
    FPending.resize(static_cast<size_t>(count) * FChannels);
    uint8_t* out[1] = {reinterpret_cast<uint8_t*>(FPending.data())};
    const int made = swr_convert(FResampler, out, count, const_cast<const uint8_t**>(FFrame->extended_data), count);
    if (made < 0) return false;
    FPending.resize(static_cast<size_t>(made) * FChannels);
    if (start < FSkipTo) FPendingAt = static_cast<int32_t>(std::min<int64_t>(FSkipTo - start, made));
    return true;
  }

  std::unique_ptr<IByteSource> FSource;
  AVIOContext* FIo = nullptr;
  AVFormatContext* FFormat = nullptr;
  AVCodecContext* FCodec = nullptr;
  SwrContext* FResampler = nullptr;
  AVPacket* FPacket = nullptr;
  AVFrame* FFrame = nullptr;
  int FStream = -1;
  AVRational FTimeBase{1, 1};
  std::vector<int16_t> FPending;
  int64_t FPendingAt = 0;
  int64_t FNext = 0;      // the frame after the last one decoded
  int64_t FSkipTo = 0;    // frames before this one are dropped after a seek
  int64_t FPosition = 0;  // the frame Read hands out next
  bool FEnded = false;
  bool FFlushed = false;
};

}  // namespace

std::unique_ptr<IAudioDecoder> OpenWithFfmpeg(std::unique_ptr<IByteSource> source, const char* format) {
  if (!source) return nullptr;
  av_log_set_level(AV_LOG_QUIET);
  auto decoder = std::make_unique<TFfmpegDecoder>(std::move(source));
  if (!decoder->Open(format)) return nullptr;
  return decoder;
}

}  // namespace kestlib
