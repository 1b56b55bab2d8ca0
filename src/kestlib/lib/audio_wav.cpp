// RIFF WAV: our own reader for 8- and 16-bit PCM; other encodings (ADPCM,
// mu-law) go to FFmpeg's.
#include <algorithm>
#include <cstring>

#include "kestlib/lib/audio_source.h"

namespace kestlib {
namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

bool ReadExact(IByteSource& source, void* buffer, int32_t count) { return source.Read(buffer, count) == count; }

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;
// A file has a handful of chunks; a long list of tiny ones is not a sound.
constexpr int kMaxChunks = 4096;

class TPcmWavDecoder : public IAudioDecoder {
 public:
  TPcmWavDecoder(std::unique_ptr<IByteSource> source, const TWavInfo& info)
      : FSource(std::move(source)), FInfo(info), FBytesPerSample(info.bits / 8) {
    FChannels = info.channels;
    FRate = info.rate;
    FFrames = info.data_size / info.block_align;
  }

  bool Seek(int64_t frame) override {
    frame = std::clamp<int64_t>(frame, 0, FFrames);
    if (!FSource->Seek(FInfo.data_offset + frame * FInfo.block_align)) return false;
    FFrame = frame;
    return true;
  }

  int32_t Read(int16_t* samples, int32_t frames) override {
    int32_t done = 0;
    while (done < frames && FFrame < FFrames) {
      const int32_t want = static_cast<int32_t>(std::min<int64_t>({frames - done, FFrames - FFrame, kChunkFrames}));
      const int32_t bytes = FSource->Read(FBuffer, want * FInfo.block_align);
      const int32_t got = bytes / FInfo.block_align;
      if (got <= 0) break;
      Convert(samples + static_cast<size_t>(done) * FChannels, got * FChannels);
      done += got;
      FFrame += got;
      if (bytes % FInfo.block_align != 0 && !FSource->Seek(FInfo.data_offset + FFrame * FInfo.block_align)) break;
    }
    return done;
  }

 private:
  static constexpr int32_t kChunkFrames = 1024;

  // A block may hold padding after its samples (block align larger than the
  // samples need); only the first `channels` samples of each block count.
  void Convert(int16_t* out, int32_t count) {
    const int32_t step = FInfo.block_align;
    const uint8_t* p = FBuffer;
    if (FBytesPerSample == 1) {
      for (int32_t i = 0; i < count; i += FChannels, p += step)
        for (int32_t c = 0; c < FChannels; ++c) out[i + c] = static_cast<int16_t>((p[c] - 128) << 8);
    } else {
      for (int32_t i = 0; i < count; i += FChannels, p += step)
        for (int32_t c = 0; c < FChannels; ++c) out[i + c] = static_cast<int16_t>(Le16(p + 2 * c));
    }
  }

  std::unique_ptr<IByteSource> FSource;
  TWavInfo FInfo;
  int32_t FBytesPerSample;
  int64_t FFrame = 0;
  uint8_t FBuffer[kChunkFrames * 64];
};

}  // namespace

bool TWavInfo::PlainPcm() const {
  return format_tag == kTagPcm && (bits == 8 || bits == 16) && channels >= 1 && channels <= 2 &&
         block_align >= channels * bits / 8 && block_align <= 64;
}

bool ReadWavInfo(IByteSource& source, TWavInfo& info) {
  info = {};
  const int64_t size = source.Size();
  uint8_t head[12];
  if (size < 12 || !source.Seek(0) || !ReadExact(source, head, 12)) return false;
  if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return false;
  bool have_format = false;
  bool have_data = false;
  int64_t offset = 12;
  for (int chunk = 0; chunk < kMaxChunks && offset + 8 <= size; ++chunk) {
    uint8_t header[8];
    if (!source.Seek(offset) || !ReadExact(source, header, 8)) return false;
    const int64_t length = Le32(header + 4);
    const int64_t body = offset + 8;
    const int64_t left = size - body;
    if (std::memcmp(header, "fmt ", 4) == 0 && !have_format) {
      if (length < 16 || length > left) return false;
      uint8_t fmt[40] = {};
      if (!ReadExact(source, fmt, static_cast<int32_t>(std::min<int64_t>(length, sizeof fmt)))) return false;
      info.format_tag = Le16(fmt);
      info.channels = Le16(fmt + 2);
      info.rate = static_cast<int32_t>(std::min<uint32_t>(Le32(fmt + 4), 0x7FFFFFFF));
      info.block_align = Le16(fmt + 12);
      info.bits = Le16(fmt + 14);
      // The extensible layout names its real encoding in the first two bytes
      // of its sub-format.
      if (info.format_tag == kTagExtensible && length >= 40) info.format_tag = Le16(fmt + 24);
      have_format = true;
    } else if (std::memcmp(header, "data", 4) == 0 && !have_data) {
      info.data_offset = body;
      info.data_size = std::min(length, left);
      have_data = true;
    }
    if (have_format && have_data) break;
    offset = body + length + (length & 1);
  }
  if (!have_format || !have_data) return false;
  return info.channels >= 1 && info.rate >= kMinRate && info.rate <= kMaxRate && info.block_align >= 1;
}

std::unique_ptr<IAudioDecoder> OpenWav(std::unique_ptr<IByteSource> source) {
  if (!source) return nullptr;
  TWavInfo info;
  if (!ReadWavInfo(*source, info)) return nullptr;
  if (!info.PlainPcm()) return OpenWithFfmpeg(std::move(source), "wav");
  auto decoder = std::make_unique<TPcmWavDecoder>(std::move(source), info);
  if (!decoder->Seek(0)) return nullptr;
  return decoder;
}

}  // namespace kestlib
