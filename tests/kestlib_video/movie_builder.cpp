#include "kestlib_video/movie_builder.h"

#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

namespace kesttest {
namespace {

struct TEncoder {
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
};

bool Open(AVFormatContext* out, const char* name, bool video, const TMoviePlan& plan, TEncoder* enc,
          std::string* error) {
  const AVCodec* codec = avcodec_find_encoder_by_name(name);
  if (!codec) {
    *error = std::string("no encoder ") + name;
    return false;
  }
  enc->stream = avformat_new_stream(out, nullptr);
  enc->codec = avcodec_alloc_context3(codec);
  AVCodecContext* c = enc->codec;
  if (video) {
    c->width = plan.width;
    c->height = plan.height;
    c->time_base = AVRational{1, plan.fps};
    c->framerate = AVRational{plan.fps, 1};
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->gop_size = plan.fps / 2;
    c->max_b_frames = 0;
    c->bit_rate = 400000;
  } else {
    c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    c->sample_rate = 44100;
    av_channel_layout_default(&c->ch_layout, 2);
    c->bit_rate = 128000;
    c->time_base = AVRational{1, 44100};
  }
  if (out->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(c, codec, nullptr) < 0) {
    *error = std::string("cannot open encoder ") + name;
    return false;
  }
  avcodec_parameters_from_context(enc->stream->codecpar, c);
  enc->stream->time_base = c->time_base;
  return true;
}

bool Encode(AVFormatContext* out, TEncoder& enc, AVFrame* frame) {
  if (avcodec_send_frame(enc.codec, frame) < 0) return false;
  AVPacket* packet = av_packet_alloc();
  while (avcodec_receive_packet(enc.codec, packet) >= 0) {
    av_packet_rescale_ts(packet, enc.codec->time_base, enc.stream->time_base);
    packet->stream_index = enc.stream->index;
    av_interleaved_write_frame(out, packet);
  }
  av_packet_free(&packet);
  return true;
}

void FillPicture(AVFrame* frame, TColour c) {
  double y = 16 + (65.481 * c.r + 128.553 * c.g + 24.966 * c.b) / 255;
  double u = 128 + (-37.797 * c.r - 74.203 * c.g + 112.0 * c.b) / 255;
  double v = 128 + (112.0 * c.r - 93.786 * c.g - 18.214 * c.b) / 255;
  av_frame_make_writable(frame);
  for (int row = 0; row < frame->height; ++row)
    for (int x = 0; x < frame->width; ++x) frame->data[0][row * frame->linesize[0] + x] = std::lround(y);
  for (int row = 0; row < frame->height / 2; ++row)
    for (int x = 0; x < frame->width / 2; ++x) {
      frame->data[1][row * frame->linesize[1] + x] = std::lround(u);
      frame->data[2][row * frame->linesize[2] + x] = std::lround(v);
    }
}

void FillTone(AVFrame* frame, int64_t first) {
  av_frame_make_writable(frame);
  for (int i = 0; i < frame->nb_samples; ++i) {
    double s = 0.3 * std::sin(2 * M_PI * 440.0 * static_cast<double>(first + i) / 44100.0);
    for (int ch = 0; ch < 2; ++ch) {
      switch (frame->format) {
        case AV_SAMPLE_FMT_S16: reinterpret_cast<int16_t*>(frame->data[0])[i * 2 + ch] = s * 32767; break;
        case AV_SAMPLE_FMT_S16P: reinterpret_cast<int16_t*>(frame->data[ch])[i] = s * 32767; break;
        case AV_SAMPLE_FMT_FLTP: reinterpret_cast<float*>(frame->data[ch])[i] = static_cast<float>(s); break;
        default: break;
      }
    }
  }
}

}  // namespace

TColour MovieColour(int index, int frames) { return index < frames / 2 ? TColour{200, 40, 40} : TColour{40, 60, 200}; }

bool WriteMovie(const std::string& path, const TMoviePlan& plan, std::string* error) {
  AVFormatContext* out = nullptr;
  if (avformat_alloc_output_context2(&out, nullptr, plan.format, path.c_str()) < 0) {
    *error = std::string("no muxer ") + plan.format;
    return false;
  }
  TEncoder video, sound;
  bool ok = Open(out, plan.video, true, plan, &video, error) &&
            (!plan.sound || Open(out, plan.sound, false, plan, &sound, error)) &&
            avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(out, nullptr) >= 0;
  if (ok) {
    AVFrame* picture = av_frame_alloc();
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = plan.width;
    picture->height = plan.height;
    av_frame_get_buffer(picture, 0);
    AVFrame* tone = nullptr;
    if (sound.codec) {
      tone = av_frame_alloc();
      tone->format = sound.codec->sample_fmt;
      tone->nb_samples = sound.codec->frame_size > 0 ? sound.codec->frame_size : 1024;
      tone->sample_rate = 44100;
      av_channel_layout_copy(&tone->ch_layout, &sound.codec->ch_layout);
      av_frame_get_buffer(tone, 0);
    }
    int64_t samples = 0;
    for (int i = 0; i < plan.frames; ++i) {
      FillPicture(picture, MovieColour(i, plan.frames));
      picture->pts = i;
      Encode(out, video, picture);
      while (tone && samples < int64_t{i + 1} * 44100 / plan.fps) {
        FillTone(tone, samples);
        tone->pts = samples;
        Encode(out, sound, tone);
        samples += tone->nb_samples;
      }
    }
    Encode(out, video, nullptr);
    if (tone) Encode(out, sound, nullptr);
    av_write_trailer(out);
    av_frame_free(&picture);
    av_frame_free(&tone);
  }
  avcodec_free_context(&video.codec);
  avcodec_free_context(&sound.codec);
  if (out->pb) avio_closep(&out->pb);
  avformat_free_context(out);
  if (!ok && error->empty()) *error = "cannot write " + path;
  return ok;
}

}  // namespace kesttest
