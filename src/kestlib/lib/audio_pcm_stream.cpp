// Decoded PCM read as bytes. Reads and seeks may stop inside a frame (the
// mixer asks in bytes); the frame is kept so the next read goes on from there.
#include <algorithm>
#include <cstring>

#include "kestlib/lib/audio_items.h"

namespace kestlib {

TPcmStream::TPcmStream(std::unique_ptr<IAudioDecoder> decoder)
    : FDecoder(std::move(decoder)), FAlign(FDecoder->Channels() * 2), FSize(FDecoder->Frames() * FAlign) {}

KestWaveFormat TPcmStream::Format() const {
  const int32_t rate = FDecoder->Rate();
  return {FDecoder->Channels(), rate, rate * FAlign, FAlign, 16};
}

int32_t TPcmStream::LengthMs() const {
  return static_cast<int32_t>(std::min<int64_t>(FDecoder->Frames() * 1000 / FDecoder->Rate(), INT32_MAX));
}

void TPcmStream::SetPosition(int64_t position) {
  position = std::clamp<int64_t>(position, 0, FSize);
  const int64_t frame = position / FAlign;
  if (!FDecoder->Seek(frame)) return;
  FPosition = frame * FAlign;
  if (position % FAlign != 0 && FDecoder->Read(FFrame, 1) == 1) FPosition = position;
}

int32_t TPcmStream::Read(void* buffer, int32_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  int32_t done = 0;
  if (count <= 0) return 0;
  const int32_t inside = static_cast<int32_t>(FPosition % FAlign);
  if (inside != 0) {
    const int32_t n = std::min(count, FAlign - inside);
    std::memcpy(out, reinterpret_cast<const uint8_t*>(FFrame) + inside, n);
    done += n;
    FPosition += n;
  }
  // The caller's buffer need not be aligned for samples.
  int16_t chunk[2048];
  const int32_t chunk_frames = 2048 / FDecoder->Channels();
  for (int32_t whole = (count - done) / FAlign; whole > 0;) {
    const int32_t want = std::min(whole, chunk_frames);
    const int32_t got = FDecoder->Read(chunk, want);
    std::memcpy(out + done, chunk, static_cast<size_t>(got) * FAlign);
    done += got * FAlign;
    FPosition += static_cast<int64_t>(got) * FAlign;
    if (got < want) return done;
    whole -= got;
  }
  const int32_t rest = count - done;
  if (rest > 0 && FDecoder->Read(FFrame, 1) == 1) {
    std::memcpy(out + done, FFrame, rest);
    done += rest;
    FPosition += rest;
  }
  return done;
}

}  // namespace kestlib
