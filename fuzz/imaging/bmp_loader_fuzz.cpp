// Decodes arbitrary bytes as a BMP picture. Bad data must end in EReadError,
// never in a crash, a read outside the data or an allocation the data cannot
// justify.
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/errors.h"
#include "common/stream.h"
#include "imaging/bmp_codec.h"
#include "imaging/dibx.h"
#include "picture_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  try {
    TDIBX picture(0, 0, 32);
    DecodeBmp(std::span<const uint8_t>(data, size), picture);
    fuzz::ExercisePicture(picture, nullptr);
    TByteStream out;
    picture.SaveToBmpStream(out);
  } catch (const EKestError&) {
  }
  return 0;
}
