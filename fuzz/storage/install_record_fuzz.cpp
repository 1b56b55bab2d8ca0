// The installation record and the folder-to-disc list on any bytes: an error
// is fine, a crash, a hang or a huge allocation is not, and a record that
// reads must read back the same after it is written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "storage/folder_disk_list.h"
#include "storage/install_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  try {
    TByteStream input{std::span<const uint8_t>(data, size)};
    TKestInstallSet record;
    record.LoadFromStream(input);
    TByteStream written;
    record.SaveToStream(written);
    TByteStream again_input{written.TakeBytes()};
    TKestInstallSet again;
    again.LoadFromStream(again_input);
    again.Version = record.Version;
    if (!(again == record)) std::abort();
  } catch (const EKestError&) {
  }
  try {
    TByteStream input{std::span<const uint8_t>(data, size)};
    TFolderDiskList list;
    list.LoadFromStream(input);
    list.DiscOf("BGM\\TRACK1.OGG");
  } catch (const EKestError&) {
  }
  return 0;
}
