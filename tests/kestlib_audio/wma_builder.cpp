// A WMA file made with FFmpeg's own encoder and ASF muxer: a 440 Hz tone.
#include "kestlib_audio/wma_builder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kest {

std::vector<uint8_t> BuildWma(int rate, int channels, int milliseconds) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("kest_wma_" + std::to_string(getpid()) + ".wma")).string();
  std::vector<uint8_t> bytes;
  AVFormatContext* format = nullptr;
  if (avformat_alloc_output_context2(&format, nullptr, "asf", path.c_str()) < 0) return bytes;
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
  AVCodecContext* encoder = avcodec_alloc_context3(codec);
  encoder->sample_rate = rate;
  av_channel_layout_default(&encoder->ch_layout, channels);
  encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
  encoder->bit_rate = 64000;
  AVStream* stream = avformat_new_stream(format, nullptr);
  if (avcodec_open2(encoder, codec, nullptr) < 0 || avcodec_parameters_from_context(stream->codecpar, encoder) < 0 ||
      avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(format, nullptr) < 0) {
    avcodec_free_context(&encoder);
    avformat_free_context(format);
    return bytes;
  }
  AVFrame* frame = av_frame_alloc();
  AVPacket* packet = av_packet_alloc();
  const int total = rate * milliseconds / 1000;
  auto drain = [&] {
    while (avcodec_receive_packet(encoder, packet) == 0) {
      av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
      packet->stream_index = stream->index;
      av_interleaved_write_frame(format, packet);
    }
  };
  for (int done = 0; done < total;) {
    frame->nb_samples = encoder->frame_size;
    frame->format = encoder->sample_fmt;
    av_channel_layout_copy(&frame->ch_layout, &encoder->ch_layout);
    frame->sample_rate = rate;
    av_frame_get_buffer(frame, 0);
    for (int c = 0; c < channels; ++c) {
      auto* samples = reinterpret_cast<float*>(frame->data[c]);
      for (int i = 0; i < frame->nb_samples; ++i)
        samples[i] = done + i < total ? 0.5f * std::sin(2 * M_PI * 440 * (done + i) / rate) : 0.0f;
    }
    frame->pts = done;
    done += frame->nb_samples;
    avcodec_send_frame(encoder, frame);
    av_frame_unref(frame);
    drain();
  }
  avcodec_send_frame(encoder, nullptr);
  drain();
  av_write_trailer(format);
  avio_closep(&format->pb);
  av_packet_free(&packet);
  av_frame_free(&frame);
  avcodec_free_context(&encoder);
  avformat_free_context(format);
  std::ifstream in(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  std::filesystem::remove(path);
  return bytes;
}

}  // namespace kest
