#pragma once
// Stand-ins for the status parts of subsystems the player does not have yet.
// Each one reads its part exactly as the real one will (so the parts behind
// it are found) and keeps the bytes it read, writing them back unchanged:
// a status record passed through this player loses none of its read marks,
// tables or settings. With nothing read each writes the part's empty form.

#include <cstdint>
#include <vector>

#include "script/status_part.h"

namespace kest {

class TKeptStatusPart : public IStatusPart {
 public:
  void SaveStatusPart(TStream& stream) const override;
  void LoadStatusPart(TStream& stream, int32_t version) override;
  const std::vector<uint8_t>& Kept() const { return FKept; }

 protected:
  // Reads past the part of that version (without keeping anything).
  virtual void Skip(TStream& stream, int32_t version) const = 0;
  virtual void WriteEmpty(TStream& stream) const = 0;

 private:
  std::vector<uint8_t> FKept;
  bool FHasKept = false;
};

// The read marks: item count; per item a page name, a pair count n, n
// command indices, n screen indices; then the pending mark (page, command
// index, screen index, window name). Records before version 100 have none.
class TKeptReadList final : public TKeptStatusPart {
 protected:
  void Skip(TStream& stream, int32_t version) const override;
  void WriteEmpty(TStream& stream) const override;
};

// The image cache's one setting byte, carried from version 101 on.
class TKeptImageCacheState final : public TKeptStatusPart {
 protected:
  void Skip(TStream& stream, int32_t version) const override;
  void WriteEmpty(TStream& stream) const override;
};

// The status tables: format version, table count, the tables (kind byte,
// name, status flag, fields of size, name and type, record count, records
// of the fields' total size, current record). The record carries them from
// version 103 on.
class TKeptStatusTables final : public TKeptStatusPart {
 public:
  static constexpr int32_t kFormatVersion = 100;

 protected:
  void Skip(TStream& stream, int32_t version) const override;
  void WriteEmpty(TStream& stream) const override;
};

}  // namespace kest
