// Region maps on any bytes: an error is fine, a crash, a hang or a huge
// allocation is not; a map that reads is written and read back the same, and
// its regions answer point tests.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

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
  }
  return 0;
}
