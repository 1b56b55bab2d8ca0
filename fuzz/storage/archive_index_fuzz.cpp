// The archive index reader on any bytes, every version: an error is fine, a
// crash, a hang or a huge allocation is not.
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/errors.h"
#include "storage/big_memory_stream.h"
#include "storage/vr_file_collection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  TVrFileCollection archive;
  try {
    archive.OpenStream(std::make_unique<TTpBigMemoryStream>(std::span<const uint8_t>(data, size)), "fuzz");
    std::vector<std::string> list;
    archive.ListFolder("", list);
  } catch (const EKestError&) {
  }
  return 0;
}
