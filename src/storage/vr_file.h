#pragma once
// One entry of an archive index.

#include <cstdint>
#include <memory>

#include "common/hash_collection.h"
#include "storage/big_memory_stream.h"

namespace kest {

class TVrFile : public THashCollectionItem {
 public:
  // Absolute position of the stored bytes in the archive stream, and their count.
  int64_t Offset = 0;
  int64_t Size = 0;
  // In-memory data that replaces the stored data (save data, injected files).
  std::unique_ptr<TTpMemoryStream> Content;
  // True when the bytes are stored as they are, false for one zlib stream.
  bool Stored = false;
  // Packed date and time of the source file (DOS form), 0 when none.
  uint32_t Timestamp = 0;
  uint32_t Checksum = 0;
  // The checksum covers the inflated data rather than the stored bytes.
  bool ChecksumOfPlain = false;
  // The entry came from the index of the mounted archive; entries added later
  // have no stored bytes to read.
  bool InArchive = false;

  void Assign(const THashCollectionItem& source) override;

 protected:
  std::string DefaultDisplayName() const override { return "TVrFile"; }
};

}  // namespace kest
