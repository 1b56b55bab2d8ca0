// Opening Ogg Vorbis, WMA (ASF) and WAV through a byte source, as the entry
// points do, on any bytes; the first byte picks the reader. What opens is
// decoded for a few hundred milliseconds, from the start and after a seek,
// and read as PCM bytes the way the player's mixer reads it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "kestlib/lib/audio_items.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestlib;
  if (size < 1) return 0;
  const uint8_t pick = data[0] % 4;
  auto source = MakeMemoryView(data + 1, size - 1);
  std::unique_ptr<IAudioDecoder> decoder;
  if (pick == 0) decoder = OpenVorbis(std::move(source));
  if (pick == 1) decoder = OpenWithFfmpeg(std::move(source), "asf");
  if (pick == 2) decoder = OpenWithFfmpeg(std::move(source), "wav");
  if (pick == 3) decoder = OpenSound(std::move(source), true);
  if (!decoder) return 0;
  if (decoder->Channels() < 1 || decoder->Channels() > 2 || decoder->Rate() < kMinRate || decoder->Rate() > kMaxRate ||
      decoder->Frames() < 0)
    std::abort();
  std::vector<int16_t> samples(2 * 2048);
  int32_t total = 0;
  for (int32_t got = 1; got > 0 && total < 8192; total += got) got = decoder->Read(samples.data(), 2048);
  if (decoder->Seek(decoder->Frames() / 2)) decoder->Read(samples.data(), 2048);
  TPcmStream stream(std::move(decoder));
  stream.SetPosition(stream.Size() / 3 + 1);
  std::vector<uint8_t> bytes(8191);
  const int32_t got = stream.Read(bytes.data(), static_cast<int32_t>(bytes.size()));
  if (got < 0 || got > static_cast<int32_t>(bytes.size())) std::abort();
  return 0;
}
