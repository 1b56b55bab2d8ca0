#pragma once
// One subsystem's share of the status record (the data all games of a title
// share): the read marks, the image cache's setting and the status tables
// each write and read their part through this, given the record's version.

#include <cstdint>

namespace kest {

class TStream;

class IStatusPart {
 public:
  virtual ~IStatusPart() = default;
  virtual void SaveStatusPart(TStream& stream) const = 0;
  // Reads the part of a record of that version; raises EReadError on a part
  // cut short or holding a count larger than the bytes behind it.
  virtual void LoadStatusPart(TStream& stream, int32_t version) = 0;
};

}  // namespace kest
