// A base screen's state record, with its tree of children, then an event
// queue whose senders name those children, and, when bytes are left, the
// captions of its buttons by name, on any bytes: an error is fine, a
// crash, a hang or a huge allocation is not, and what reads must be written
// the same from the second round on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "scene/button_captions.h"
#include "scene/kest_base_list.h"

namespace {

// The first byte picks the version the record is read with.
constexpr int32_t kVersions[] = {101, 102, 103, 104, 117, 118, 119, 120, 129, 130, 140};

std::vector<uint8_t> Save(kest::TKestBaseList& scene) {
  kest::TByteStream out;
  scene.FrontBase().SaveState(out);
  scene.Events().SaveToStream(out);
  kest::WriteButtonCaptions(scene, out);
  return out.TakeBytes();
}

void Load(kest::TKestBaseList& scene, kest::TStream& stream, int32_t version) {
  scene.FrontBase().LoadState(stream, version);
  scene.Events().LoadFromStream(stream, version, [&scene](const std::string& name) {
    kest::TKestObject* object = scene.FindObject(name);
    return object ? object->Life() : nullptr;
  });
  if (stream.Remaining() > 0) kest::ReadButtonCaptions(scene, stream);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  if (size < 1) return 0;
  const int32_t version = kVersions[data[0] % std::size(kVersions)];
  TKestBaseList first;
  try {
    TByteStream input{std::span<const uint8_t>(data + 1, size - 1)};
    Load(first, input, version);
  } catch (const EKestError&) {
    return 0;
  }
  // The first round drops what is not saved (helpers, and with them the
  // senders of their events); from then on the record must stay the same.
  const std::vector<uint8_t> once = Save(first);
  TKestBaseList second;
  TByteStream again{std::span<const uint8_t>(once)};
  Load(second, again, 140);
  const std::vector<uint8_t> twice = Save(second);
  TKestBaseList third;
  TByteStream back{std::span<const uint8_t>(twice)};
  Load(third, back, 140);
  if (Save(third) != twice) std::abort();
  return 0;
}
