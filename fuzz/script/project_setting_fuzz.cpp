// The project settings on any bytes: an error is fine, a crash, a hang or a
// huge allocation is not, and settings that read must read back the same
// after they are written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "common/errors.h"
#include "common/stream.h"
#include "script/project_setting.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  TProjectSetting setting;
  try {
    TByteStream input{std::span<const uint8_t>(data, size)};
    setting.LoadFromStream(input);
  } catch (const EKestError&) {
    return 0;
  }
  TByteStream written;
  setting.SaveToStream(written);
  TByteStream again_input{written.TakeBytes()};
  TProjectSetting again;
  again.LoadFromStream(again_input);
  if (!(again == setting)) std::abort();
  return 0;
}
