// The status record on any bytes: an error is fine, a crash, a hang or a
// huge allocation is not, and a record that reads must come back the same
// from being written and read twice (the variables are written last first,
// so one pass turns their order round).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "language/param_collection.h"
#include "script/kept_status_parts.h"
#include "script/status_record.h"

namespace {

struct TParts {
  kest::TParamCollection Vars;
  kest::TKeptReadList ReadList;
  kest::TKeptImageCacheState ImageCache;
  kest::TKeptStatusTables Tables;
  kest::TStatusRecord Record{Vars, ReadList, ImageCache, Tables};

  std::vector<uint8_t> Save() {
    kest::TByteStream out;
    Record.SaveToStream(out);
    return out.TakeBytes();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  TParts first;
  try {
    TByteStream input{std::span<const uint8_t>(data, size)};
    first.Record.LoadFromStream(input);
  } catch (const EKestError&) {
    return 0;
  }
  const std::vector<uint8_t> written = first.Save();
  TParts second;
  TByteStream again{std::span<const uint8_t>(written)};
  second.Record.LoadFromStream(again);
  const std::vector<uint8_t> turned = second.Save();
  TParts third;
  TByteStream back{std::span<const uint8_t>(turned)};
  third.Record.LoadFromStream(back);
  if (third.Save() != written) std::abort();
  return 0;
}
