// Decodes arbitrary bytes as a PNG picture through the surface loader. Bad
// data must end in EReadError, never in a crash or a huge allocation. Chunk
// checksums are mended first, or nearly every mutation would stop at the first
// checksum and the decoder behind it would never be reached.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "imaging/dibx.h"
#include "imaging/png_codec.h"
#include "picture_fuzz_common.h"

namespace {

void MendChecksums(std::vector<uint8_t>& b) {
  size_t at = 8;
  while (at + 12 <= b.size()) {
    const uint32_t length = uint32_t(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
    if (length > b.size() - at - 12) return;
    const uLong crc = crc32(0, b.data() + at + 4, uInt(length + 4));
    for (int i = 0; i < 4; ++i) b[at + 8 + length + i] = uint8_t(crc >> (24 - 8 * i));
    at += 12 + length;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  std::vector<uint8_t> bytes(data, data + size);
  MendChecksums(bytes);
  try {
    TDIBX picture(0, 0, 32), alpha(0, 0, 8);
    const bool hasAlpha = DecodePng(bytes, picture, &alpha);
    fuzz::ExercisePicture(picture, hasAlpha ? &alpha : nullptr);
    TDIBX loaded(1, 1, 15), mask(1, 1, 8);
    TByteStream stream(std::span<const uint8_t>(bytes.data(), bytes.size()));
    loaded.LoadFromStreamWithAlpha(stream, mask);
  } catch (const EKestError&) {
  }
  return 0;
}
