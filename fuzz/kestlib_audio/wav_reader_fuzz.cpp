// The RIFF WAV reader on any bytes: the header either fails or describes
// samples inside the file, and a few hundred milliseconds decode from the
// start and from a position the input picks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "kestlib/lib/audio_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestlib;
  auto source = MakeMemoryView(data, size);
  TWavInfo info;
  if (ReadWavInfo(*source, info) &&
      (info.data_offset < 12 || info.data_size < 0 || info.data_offset + info.data_size > static_cast<int64_t>(size)))
    std::abort();
  auto decoder = OpenWav(MakeMemoryView(data, size));
  if (!decoder) return 0;
  if (decoder->Channels() < 1 || decoder->Channels() > 2 || decoder->Rate() < kMinRate) std::abort();
  std::vector<int16_t> samples(2 * 4096);
  int32_t total = 0;
  for (int32_t got = 1; got > 0 && total < 16384; total += got) got = decoder->Read(samples.data(), 4096);
  if (total > decoder->Frames() && info.PlainPcm()) std::abort();
  if (decoder->Seek(size > 0 ? data[size - 1] * 37 : 0)) decoder->Read(samples.data(), 4096);
  return 0;
}
