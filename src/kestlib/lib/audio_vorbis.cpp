// Ogg Vorbis through libvorbisfile, reading through a byte source. Seeking
// and the length are exact to the sample, which gapless loops rely on.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "kestlib/lib/audio_source.h"

namespace kestlib {
namespace {

size_t ReadProc(void* buffer, size_t size, size_t count, void* data) {
  auto* source = static_cast<IByteSource*>(data);
  const size_t total = std::min<size_t>(size * count, 1 << 20);
  if (total == 0) return 0;
  return static_cast<size_t>(source->Read(buffer, static_cast<int32_t>(total))) / size;
}

int SeekProc(void* data, ogg_int64_t offset, int whence) {
  auto* source = static_cast<IByteSource*>(data);
  int64_t target = offset;
  if (whence == SEEK_CUR) target += source->Position();
  if (whence == SEEK_END) target += source->Size();
  return source->Seek(target) ? 0 : -1;
}

long TellProc(void* data) { return static_cast<long>(static_cast<IByteSource*>(data)->Position()); }

int16_t ToSample(float value) {
  const float scaled = value * 32768.0f;
  if (scaled >= 32767.0f) return 32767;
  if (scaled <= -32768.0f) return -32768;
  return static_cast<int16_t>(std::lrintf(scaled));
}

// A damaged page gives a hole; a few in a row are skipped, more end the sound.
constexpr int kMaxHoles = 64;

class TVorbisDecoder : public IAudioDecoder {
 public:
  explicit TVorbisDecoder(std::unique_ptr<IByteSource> source) : FSource(std::move(source)) {}
  ~TVorbisDecoder() override {
    if (FOpen) ov_clear(&FFile);
  }

  bool Open() {
    const ov_callbacks callbacks = {ReadProc, SeekProc, nullptr, TellProc};
    if (!FSource->Seek(0) || ov_open_callbacks(FSource.get(), &FFile, nullptr, 0, callbacks) != 0) return false;
    FOpen = true;
    if (!ov_seekable(&FFile)) return false;
    const vorbis_info* first = ov_info(&FFile, 0);
    if (!first || first->channels < 1 || first->rate < kMinRate || first->rate > kMaxRate) return false;
    // Chained links must agree: one sound has one format.
    for (long link = 1; link < ov_streams(&FFile); ++link) {
      const vorbis_info* info = ov_info(&FFile, link);
      if (!info || info->channels != first->channels || info->rate != first->rate) return false;
    }
    const ogg_int64_t total = ov_pcm_total(&FFile, -1);
    if (total < 0) return false;
    FChannels = std::min(first->channels, 2);
    FRate = static_cast<int32_t>(first->rate);
    FFrames = total;
    return true;
  }

  bool Seek(int64_t frame) override {
    frame = std::clamp<int64_t>(frame, 0, FFrames);
    if (frame == FFrames) {
      FFrame = frame;
      return true;
    }
    if (ov_pcm_seek(&FFile, frame) != 0) return false;
    FFrame = frame;
    return true;
  }

  int32_t Read(int16_t* samples, int32_t frames) override {
    int32_t done = 0;
    int holes = 0;
    while (done < frames && FFrame < FFrames) {
      float** pcm = nullptr;
      int link = 0;
      const int want = static_cast<int>(std::min<int64_t>(frames - done, FFrames - FFrame));
      const long got = ov_read_float(&FFile, &pcm, want, &link);
      if (got == OV_HOLE && ++holes < kMaxHoles) continue;
      if (got <= 0) break;
      int16_t* out = samples + static_cast<size_t>(done) * FChannels;
      if (FChannels == 1) {
        const float* mono = pcm[0];
        for (long i = 0; i < got; ++i) out[i] = ToSample(mono[i]);
      } else {
        const float* left = pcm[0];
        const float* right = pcm[1];
        for (long i = 0; i < got; ++i) {
          out[2 * i] = ToSample(left[i]);
          out[2 * i + 1] = ToSample(right[i]);
        }
      }
      done += static_cast<int32_t>(got);
      FFrame += got;
    }
    return done;
  }

 private:
  std::unique_ptr<IByteSource> FSource;
  OggVorbis_File FFile{};
  bool FOpen = false;
  int64_t FFrame = 0;
};

}  // namespace

std::unique_ptr<IAudioDecoder> OpenVorbis(std::unique_ptr<IByteSource> source) {
  if (!source) return nullptr;
  auto decoder = std::make_unique<TVorbisDecoder>(std::move(source));
  if (!decoder->Open()) return nullptr;
  return decoder;
}

}  // namespace kestlib
