#pragma once
// The sound decoders of the library: where they read their file from, the
// 16-bit PCM they hand on, and the readers of each container.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "kestlib/lib/lib_state.h"

namespace kestlib {

// The bytes of one sound file.
class IByteSource {
 public:
  virtual ~IByteSource() = default;
  virtual int64_t Size() = 0;
  virtual int64_t Position() = 0;
  // Answers the bytes read: 0 at the end or when the source fails.
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  virtual bool Seek(int64_t position) = 0;
};

// A program stream read through the player's callbacks; null when a callback
// is missing or the stream is null.
std::unique_ptr<IByteSource> MakeCallbackSource(const TLibCallbacks& callbacks, void* stream);
// Bytes held in memory, owned or only viewed (the view must outlive the source).
std::unique_ptr<IByteSource> MakeMemorySource(std::vector<uint8_t> bytes);
std::unique_ptr<IByteSource> MakeMemoryView(const uint8_t* data, size_t size);

// Signed 16-bit PCM at the file's own rate, one or two channels interleaved.
class IAudioDecoder {
 public:
  virtual ~IAudioDecoder() = default;
  int32_t Channels() const { return FChannels; }
  int32_t Rate() const { return FRate; }
  // Frames in the whole file.
  int64_t Frames() const { return FFrames; }
  // Moves to `frame` (0 … Frames()); false when the file cannot be read there.
  virtual bool Seek(int64_t frame) = 0;
  // Reads up to `frames` frames; 0 at the end or when the file fails.
  virtual int32_t Read(int16_t* samples, int32_t frames) = 0;

 protected:
  int32_t FChannels = 0;
  int32_t FRate = 0;
  int64_t FFrames = 0;
};

// Rates outside this range are refused: no sound file of ours uses them and
// they would make the resampler's steps meaningless.
inline constexpr int32_t kMinRate = 1000;
inline constexpr int32_t kMaxRate = 384000;

// The RIFF WAV header: where the samples are and how they are stored.
struct TWavInfo {
  uint16_t format_tag = 0;  // 1 PCM; others are left to FFmpeg
  int32_t channels = 0;
  int32_t rate = 0;
  int32_t bits = 0;
  int32_t block_align = 0;
  int64_t data_offset = 0;
  int64_t data_size = 0;  // clamped to the bytes the file holds
  // 8- or 16-bit PCM in one or two channels, which our own reader plays.
  bool PlainPcm() const;
};

// Reads the chunk list from the start of `source`; false when it is not a
// WAV file with a format and a data chunk.
bool ReadWavInfo(IByteSource& source, TWavInfo& info);

// Each answers null when the file is not one it can play. The decoder owns
// its source.
std::unique_ptr<IAudioDecoder> OpenVorbis(std::unique_ptr<IByteSource> source);
std::unique_ptr<IAudioDecoder> OpenWav(std::unique_ptr<IByteSource> source);
// FFmpeg with the demuxer of that name ("asf", "wav").
std::unique_ptr<IAudioDecoder> OpenWithFfmpeg(std::unique_ptr<IByteSource> source, const char* format);
// Looks at the first bytes: "OggS" Vorbis, "RIFF" WAV; otherwise Vorbis when
// `oggHint`, else WAV.
std::unique_ptr<IAudioDecoder> OpenSound(std::unique_ptr<IByteSource> source, bool oggHint);

}  // namespace kestlib
