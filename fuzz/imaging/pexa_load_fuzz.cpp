// Pexa files on any bytes: an error is fine, a crash, a hang or a huge
// allocation is not. The first byte picks the identification code, so
// protected files are walked both ways; a file that reads is written again
// and must read back to the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "imaging/pexa_frame_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  if (size < 1) return 0;
  const uint32_t code = data[0] & 1 ? 0x2468ACEu : 0;
  TPexaFrameList list(code);
  try {
    TByteStream input{std::span<const uint8_t>(data + 1, size - 1)};
    list.LoadFromStream(input, (data[0] & 2) != 0);
  } catch (const EKestError&) {
    return 0;
  }
  TByteStream out;
  TPexaWriteOptions options;
  options.Code = code;
  SavePexa(list, out, options);
  TPexaFrameList back(code);
  TByteStream again{std::span<const uint8_t>(out.Bytes())};
  back.LoadFromStream(again);
  if (back.Count() != list.Count()) std::abort();
  for (int32_t f = 0; f < list.Count(); ++f) {
    const TDIBX& a = list.Frames(f).Composite;
    const TDIBX& b = back.Frames(f).Composite;
    if (a.Width() != b.Width() || a.Height() != b.Height()) std::abort();
    for (int32_t y = 0; y < a.Height(); ++y)
      for (int32_t x = 0; x < a.Width(); ++x)
        if (a.GetPixel(x, y) != b.GetPixel(x, y)) std::abort();
  }
  return 0;
}
