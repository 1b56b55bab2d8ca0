#include "vorbis_file.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace demo_media {
namespace {

constexpr int kRate = 44100;
// Every file gets the same stream serial: the same samples give the same bytes.
constexpr int kSerial = 0x4B455354;

struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

bool WritePage(std::FILE* file, const ogg_page& page) {
  return std::fwrite(page.header, 1, page.header_len, file) == static_cast<size_t>(page.header_len) &&
         std::fwrite(page.body, 1, page.body_len, file) == static_cast<size_t>(page.body_len);
}

}  // namespace

bool WriteOggVorbis(const std::string& path, const TStereo& samples, float quality, std::string* error) {
  std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    *error = path + ": cannot be written";
    return false;
  }
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, 2, kRate, quality) != 0) {
    vorbis_info_clear(&info);
    *error = "the Vorbis encoder refuses 44100 Hz stereo";
    return false;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_comment_add_tag(&comment, "ENCODER", "demo_media");
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, kSerial);

  bool ok = true;
  ogg_packet header, header_comment, header_code;
  vorbis_analysis_headerout(&dsp, &comment, &header, &header_comment, &header_code);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &header_comment);
  ogg_stream_packetin(&stream, &header_code);
  ogg_page page;
  // The headers stand on pages of their own, as players expect.
  while (ogg_stream_flush(&stream, &page) != 0) ok = ok && WritePage(file.get(), page);

  const size_t frames = samples.size() / 2;
  constexpr size_t kChunk = 1024;
  size_t done = 0;
  for (bool last = false; !last;) {
    const size_t n = std::min(kChunk, frames - done);
    // Writing no samples tells the encoder the sound has ended.
    last = n == 0;
    if (n > 0) {
      float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
      for (size_t i = 0; i < n; ++i) {
        buffer[0][i] = samples[2 * (done + i)];
        buffer[1][i] = samples[2 * (done + i) + 1];
      }
      done += n;
    }
    vorbis_analysis_wrote(&dsp, static_cast<int>(n));
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) ok = ok && WritePage(file.get(), page);
      }
    }
  }
  while (ogg_stream_flush(&stream, &page) != 0) ok = ok && WritePage(file.get(), page);

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  if (std::fclose(file.release()) != 0) ok = false;
  if (!ok) *error = path + ": cannot be written";
  return ok;
}

}  // namespace demo_media
