#include "sunset_movie.h"

#include <algorithm>
#include <cmath>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

namespace demo_media {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 180;
constexpr int kFps = 25;
constexpr int kFrames = 4 * kFps;
constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kHorizon = 112;

struct TRgb {
  double R, G, B;
};

TRgb Mix(TRgb a, TRgb b, double t) { return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t}; }
TRgb Add(TRgb a, TRgb b, double k) { return {a.R + b.R * k, a.G + b.G * k, a.B + b.B * k}; }
double SmoothStep(double lo, double hi, double x) {
  const double t = std::clamp((x - lo) / (hi - lo), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// The picture at `t` seconds: the sky darkens and reddens as the sun sinks
// into the sea, whose swell rolls towards the viewer under the sun's path.
TRgb Pixel(double x, double y, double t) {
  const double p = t / 4.0;
  const double sun_x = kWidth / 2.0, sun_y = 50 + 66 * std::pow(p, 1.1), sun_r = 17;
  const double daylight = 1 - 0.45 * p;
  const TRgb zenith = Mix({46, 58, 120}, {22, 20, 62}, p);
  const TRgb low = Mix({255, 178, 96}, {226, 88, 64}, p);
  const TRgb glow{255, 196, 120};
  if (y < kHorizon) {
    TRgb sky = Mix(zenith, low, std::pow(y / kHorizon, 1.6));
    const double d = std::hypot(x - sun_x, (y - sun_y) * 1.3);
    sky = Add(sky, glow, 0.55 * daylight * std::exp(-d * d / (2 * 45.0 * 45.0)));
    const double disc = SmoothStep(sun_r + 1, sun_r - 1, std::hypot(x - sun_x, y - sun_y));
    return Mix(sky, {255, 236, 170}, disc);
  }
  // Rows further down are nearer: the stripes widen and move faster.
  const double d = y - kHorizon + 1;
  const double near = d / (kHeight - kHorizon);
  TRgb sea = Mix(Mix(low, {30, 30, 60}, 0.45), {14, 22, 52}, std::pow(near, 0.6));
  const double sway = 0.6 * std::sin(x * 0.03 / (0.3 + near) + t * 1.3);
  const double wave = std::sin(60.0 / (d + 3) * 3.0 - t * 4.0 + sway);
  const double crest = SmoothStep(0.55, 0.95, wave);
  sea = Add(sea, {255, 210, 160}, 0.10 * crest * (1 - 0.5 * near));
  // The sun's path on the water, broken by the swell, gone once it has set.
  const double above = std::clamp((kHorizon - (sun_y - sun_r)) / (2 * sun_r), 0.0, 1.0);
  const double width = 5 + d * 0.55;
  const double path = std::exp(-std::pow((x - sun_x) / width, 2)) * (0.35 + 0.65 * crest);
  return Add(sea, {255, 200, 130}, 0.7 * path * above * daylight);
}

uint8_t Byte(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

// Frame `index` in YUV 4:2:0 (BT.601, studio range).
void DrawFrame(AVFrame* frame, int index) {
  const double t = static_cast<double>(index) / kFps;
  std::vector<TRgb> rgb(static_cast<size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) rgb[static_cast<size_t>(y) * kWidth + x] = Pixel(x + 0.5, y + 0.5, t);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const TRgb c = rgb[static_cast<size_t>(y) * kWidth + x];
      frame->data[0][y * frame->linesize[0] + x] = Byte(16 + (65.481 * c.R + 128.553 * c.G + 24.966 * c.B) / 255);
    }
  for (int y = 0; y < kHeight / 2; ++y)
    for (int x = 0; x < kWidth / 2; ++x) {
      TRgb c{0, 0, 0};
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) c = Add(c, rgb[static_cast<size_t>(2 * y + dy) * kWidth + 2 * x + dx], 0.25);
      frame->data[1][y * frame->linesize[1] + x] = Byte(128 + (-37.797 * c.R - 74.203 * c.G + 112.0 * c.B) / 255);
      frame->data[2][y * frame->linesize[2] + x] = Byte(128 + (112.0 * c.R - 93.786 * c.G - 18.214 * c.B) / 255);
    }
}

// A soft chime: three bell notes of A major, falling, each a few inharmonic
// partials that die away, the higher ones first.
std::vector<float> Chime() {
  std::vector<float> mono(static_cast<size_t>(kFrames / kFps) * kRate);
  struct TStrike {
    double At, Hz;
  };
  struct TPartial {
    double Ratio, Gain, Decay;
  };
  constexpr TPartial kPartials[] = {{1.0, 1.0, 1.4}, {2.0, 0.35, 0.8}, {2.76, 0.2, 0.5}, {5.4, 0.08, 0.25}};
  for (TStrike strike : {TStrike{0.3, 880.0}, TStrike{1.2, 659.26}, TStrike{2.1, 554.37}}) {
    const size_t first = static_cast<size_t>(strike.At * kRate);
    for (size_t i = first; i < mono.size(); ++i) {
      const double t = static_cast<double>(i - first) / kRate;
      double v = 0;
      for (TPartial partial : kPartials)
        v += partial.Gain * std::exp(-t / partial.Decay) * std::sin(2 * kPi * strike.Hz * partial.Ratio * t);
      mono[i] += static_cast<float>(0.2 * std::min(t / 0.004, 1.0) * v);
    }
  }
  // The last fifth of a second fades out, so the movie ends in silence.
  const size_t fade = kRate / 5;
  for (size_t i = 0; i < fade; ++i) mono[mono.size() - 1 - i] *= static_cast<float>(i) / fade;
  return mono;
}

void FillSound(AVFrame* frame, const std::vector<float>& mono, int64_t first) {
  for (int i = 0; i < frame->nb_samples; ++i) {
    const size_t at = static_cast<size_t>(first + i);
    const float s = at < mono.size() ? mono[at] : 0.0f;
    for (int ch = 0; ch < 2; ++ch) switch (frame->format) {
        case AV_SAMPLE_FMT_S16:
          reinterpret_cast<int16_t*>(frame->data[0])[i * 2 + ch] = static_cast<int16_t>(std::lround(s * 32767));
          break;
        case AV_SAMPLE_FMT_S16P:
          reinterpret_cast<int16_t*>(frame->data[ch])[i] = static_cast<int16_t>(std::lround(s * 32767));
          break;
        case AV_SAMPLE_FMT_FLTP: reinterpret_cast<float*>(frame->data[ch])[i] = s; break;
        default: break;
      }
  }
}

struct TEncoder {
  AVCodecContext* Codec = nullptr;
  AVStream* Stream = nullptr;
  ~TEncoder() { avcodec_free_context(&Codec); }
};

// Bit-exact and on one thread: the same movie every build.
void MakeRepeatable(AVCodecContext* c) {
  c->flags |= AV_CODEC_FLAG_BITEXACT;
  c->thread_count = 1;
}

TMovieOutcome Open(AVFormatContext* out, const AVCodec* codec, bool video, TEncoder* enc, std::string* message) {
  enc->Stream = avformat_new_stream(out, nullptr);
  enc->Codec = avcodec_alloc_context3(codec);
  AVCodecContext* c = enc->Codec;
  if (!enc->Stream || !c) {
    *message = "out of memory";
    return TMovieOutcome::Failed;
  }
  MakeRepeatable(c);
  if (video) {
    c->width = kWidth;
    c->height = kHeight;
    c->time_base = AVRational{1, kFps};
    c->framerate = AVRational{kFps, 1};
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->gop_size = kFps / 2;
    c->max_b_frames = 0;
    c->bit_rate = 900000;
    c->rc_max_rate = 1800000;
    c->rc_buffer_size = 1800000;
  } else {
    c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    c->sample_rate = kRate;
    av_channel_layout_default(&c->ch_layout, 2);
    c->bit_rate = 192000;
    c->time_base = AVRational{1, kRate};
  }
  if (out->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(c, codec, nullptr) < 0) {
    *message = std::string("the ") + codec->name + " encoder does not open";
    return TMovieOutcome::Failed;
  }
  avcodec_parameters_from_context(enc->Stream->codecpar, c);
  // The muxer sizes its buffers from the encoder's rate control, which the stream
  // carries as side data.
  for (int i = 0; i < c->nb_coded_side_data; ++i) {
    const AVPacketSideData& data = c->coded_side_data[i];
    if (uint8_t* copy = av_stream_new_side_data(enc->Stream, data.type, data.size))
      std::copy_n(data.data, data.size, copy);
  }
  enc->Stream->time_base = c->time_base;
  return TMovieOutcome::Written;
}

bool Encode(AVFormatContext* out, TEncoder& enc, AVFrame* frame) {
  if (avcodec_send_frame(enc.Codec, frame) < 0) return false;
  AVPacket* packet = av_packet_alloc();
  bool ok = packet != nullptr;
  while (ok && avcodec_receive_packet(enc.Codec, packet) >= 0) {
    av_packet_rescale_ts(packet, enc.Codec->time_base, enc.Stream->time_base);
    packet->stream_index = enc.Stream->index;
    ok = av_interleaved_write_frame(out, packet) >= 0;
  }
  av_packet_free(&packet);
  return ok;
}

TMovieOutcome Encode(AVFormatContext* out, TEncoder& video, TEncoder& sound, std::string* message) {
  AVFrame* picture = av_frame_alloc();
  AVFrame* tone = av_frame_alloc();
  bool ok = picture && tone;
  if (ok) {
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = kWidth;
    picture->height = kHeight;
    tone->format = sound.Codec->sample_fmt;
    tone->nb_samples = sound.Codec->frame_size > 0 ? sound.Codec->frame_size : 1152;
    tone->sample_rate = kRate;
    av_channel_layout_copy(&tone->ch_layout, &sound.Codec->ch_layout);
    ok = av_frame_get_buffer(picture, 0) >= 0 && av_frame_get_buffer(tone, 0) >= 0;
  }
  const std::vector<float> chime = Chime();
  int64_t samples = 0;
  for (int i = 0; ok && i < kFrames; ++i) {
    ok = av_frame_make_writable(picture) >= 0;
    if (!ok) break;
    DrawFrame(picture, i);
    picture->pts = i;
    ok = Encode(out, video, picture);
    while (ok && samples < int64_t{i + 1} * kRate / kFps) {
      ok = av_frame_make_writable(tone) >= 0;
      if (!ok) break;
      FillSound(tone, chime, samples);
      tone->pts = samples;
      ok = Encode(out, sound, tone);
      samples += tone->nb_samples;
    }
  }
  ok = ok && Encode(out, video, nullptr) && Encode(out, sound, nullptr) && av_write_trailer(out) >= 0;
  av_frame_free(&picture);
  av_frame_free(&tone);
  if (!ok) *message = "the movie could not be encoded";
  return ok ? TMovieOutcome::Written : TMovieOutcome::Failed;
}

}  // namespace

TMovieOutcome WriteSunsetMovie(const std::string& path, std::string* message) {
  const AVCodec* video_codec = avcodec_find_encoder_by_name("mpeg1video");
  const AVCodec* sound_codec = avcodec_find_encoder_by_name("mp2");
  const AVOutputFormat* format = av_guess_format("mpeg", nullptr, nullptr);
  if (!video_codec || !sound_codec || !format) {
    *message = std::string("no ") +
               (!video_codec   ? "mpeg1video encoder"
                : !sound_codec ? "mp2 encoder"
                               : "MPEG muxer") +
               " here";
    return TMovieOutcome::NoEncoder;
  }
  AVFormatContext* out = nullptr;
  if (avformat_alloc_output_context2(&out, format, nullptr, path.c_str()) < 0) {
    *message = "the MPEG muxer does not open";
    return TMovieOutcome::Failed;
  }
  out->flags |= AVFMT_FLAG_BITEXACT;
  TMovieOutcome outcome = TMovieOutcome::Failed;
  {
    TEncoder video, sound;
    outcome = Open(out, video_codec, true, &video, message);
    if (outcome == TMovieOutcome::Written) outcome = Open(out, sound_codec, false, &sound, message);
    if (outcome == TMovieOutcome::Written) {
      if (avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) {
        *message = path + ": cannot be written";
        outcome = TMovieOutcome::Failed;
      } else if (avformat_write_header(out, nullptr) < 0) {
        *message = "the MPEG muxer refuses the streams";
        outcome = TMovieOutcome::Failed;
      } else {
        outcome = Encode(out, video, sound, message);
      }
    }
  }
  if (out->pb) avio_closep(&out->pb);
  avformat_free_context(out);
  return outcome;
}

}  // namespace demo_media
