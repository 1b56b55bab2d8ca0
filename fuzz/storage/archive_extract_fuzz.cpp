// Every entry of an archive made of any bytes: extracted, streamed and
// checksummed, then the archive written again. Damaged entries raise; none
// may crash or inflate without bound, and an archive that could be written
// again opens with the same entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "common/errors.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  TVrFileCollection archive;
  try {
    archive.OpenStream(std::make_unique<TTpBigMemoryStream>(std::span<const uint8_t>(data, size)), "fuzz");
  } catch (const EKestError&) {
    return 0;
  }
  TTpBigMemoryStream out;
  for (int32_t i = 0; i < archive.Count(); ++i) {
    const TVrFile& entry = *archive[i];
    try {
      out.Clear();
      archive.ExtractEntry(entry, out);
      archive.ComputeChecksum(entry);
      if (auto range = archive.OpenRange(entry.Name())) {
        uint8_t buffer[256];
        range->Seek(range->Size() / 2);
        range->Read(buffer, sizeof buffer);
      }
    } catch (const EKestError&) {
    }
  }
  // No host folder may stand in for an entry.
  archive.SetBaseFolder("/nonexistent-fuzz-folder/");
  TTpBigMemoryStream copy;
  try {
    archive.WriteArchive(copy);
  } catch (const EKestError&) {
    return 0;
  }
  TVrFileCollection again;
  again.OpenStream(std::make_unique<TTpBigMemoryStream>(copy.Data()), "copy");
  if (again.Count() > archive.Count()) std::abort();
  return 0;
}
