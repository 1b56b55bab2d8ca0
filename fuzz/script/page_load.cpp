// A page on any bytes: an error is fine, a crash, a hang or a huge allocation
// is not. A page that reads is written in its version's layout (61 mask
// records of 21 bytes), and those bytes must read again and write back the
// same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "script/page.h"

namespace {

std::vector<uint8_t> Save(const kest::TPage& page) {
  kest::TByteStream out;
  page.SaveToStream(out);
  return out.TakeBytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  TPage first;
  try {
    first.LoadFromBytes("fuzz.ksb", std::span<const uint8_t>(data, size), nullptr);
  } catch (const EKestError&) {
    return 0;
  }
  const std::vector<uint8_t> written = Save(first);
  TPage second;
  try {
    second.LoadFromBytes("fuzz.ksb", written, nullptr);
  } catch (const EKestError&) {
    std::abort();
  }
  if (Save(second) != written) std::abort();
  return 0;
}
