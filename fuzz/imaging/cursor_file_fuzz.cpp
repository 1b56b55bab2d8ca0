// Reads arbitrary bytes as a cursor file. Bad data must end in EReadError,
// never in a crash, a read outside the data or an allocation the data cannot
// justify; what reads must keep its frames, steps and hot spots consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "common/errors.h"
#include "imaging/cursor_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  const std::span<const uint8_t> bytes(data, size);
  if (!TCursorFile::Recognises(bytes)) return 0;
  try {
    const TCursorFile cursor(bytes);
    if (cursor.Frames().empty() || cursor.Steps().empty()) std::abort();
    for (const TCursorFrame& f : cursor.Frames()) {
      const bool sized = f.Width > 0 && f.Height > 0 && f.Width <= TCursorFile::kMaxSide &&
                         f.Height <= TCursorFile::kMaxSide && f.Pixels.size() == size_t(f.Width) * size_t(f.Height);
      if (!sized || f.HotX < 0 || f.HotY < 0 || f.HotX >= f.Width || f.HotY >= f.Height) std::abort();
    }
    for (const TCursorStep& s : cursor.Steps())
      if (s.Frame < 0 || size_t(s.Frame) >= cursor.Frames().size() || s.Jiffies == 0) std::abort();
  } catch (const EKestError&) {
  }
  return 0;
}
