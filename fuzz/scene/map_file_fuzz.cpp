// Region maps on any bytes: an error is fine, a crash, a hang or a huge
// allocation is not; a map that reads is written and read back the same, and
// its regions answer point tests, and within a small picture their
// scan-converted runs are exactly the pixels the point test accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "common/errors.h"
#include "scene/components/map_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  std::vector<TMapRegion> regions;
  try {
    regions = ReadMapFile(std::span<const uint8_t>(data, size));
  } catch (const EKestError&) {
    return 0;
  }
  const std::vector<uint8_t> written = WriteMapFile(regions);
  if (WriteMapFile(ReadMapFile(written)) != written) std::abort();
  for (const TMapRegion& r : regions) {
    const TRect b = r.Bounds();
    (void)r.Contains(b.Left, b.Top);
    (void)r.Contains(int32_t((int64_t{b.Left} + b.Right) / 2), int32_t((int64_t{b.Top} + b.Bottom) / 2));
    constexpr int32_t kWidth = 48;
    constexpr int32_t kHeight = 32;
    std::vector<uint8_t> covered(size_t{kWidth} * kHeight);
    int32_t row = 0;
    for (const TMapSpan& s : r.Spans(kWidth, kHeight)) {
      if (s.Y < row || s.Y >= kHeight || s.Left < 0 || s.Right > kWidth || s.Left >= s.Right) std::abort();
      row = s.Y;
      for (int32_t x = s.Left; x < s.Right; ++x) {
        uint8_t& c = covered[size_t(s.Y) * kWidth + size_t(x)];
        if (c) std::abort();
        c = 1;
      }
    }
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x)
        if ((covered[size_t(y) * kWidth + size_t(x)] != 0) != r.Contains(x, y)) std::abort();
  }
  return 0;
}
