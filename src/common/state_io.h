#pragma once
// One description of a saved record for both directions: a writer puts each
// field on the stream, a reader takes it back in the same order, and the
// fields a later version added are read only from records that have them.
// A kind that describes its record once through this has no second half to
// drift from the first.

#include <climits>
#include <cstdint>
#include <string>

namespace kest {

class TStream;

class TStateIo {
 public:
  // Writes the newest layout.
  static TStateIo Writer(TStream& stream) { return TStateIo(stream, false, INT32_MAX); }
  // Reads a record of the given save version.
  static TStateIo Reader(TStream& stream, int32_t version) { return TStateIo(stream, true, version); }

  bool Reading() const { return FReading; }
  // Whether the record holds the fields added in a version: always on writing.
  bool Since(int32_t version) const { return FVersion >= version; }

  void Int(int32_t& value);
  void Byte(uint8_t& value);
  void Flag(bool& value);
  void Str(std::string& value);

 private:
  TStateIo(TStream& stream, bool reading, int32_t version) : FStream(stream), FReading(reading), FVersion(version) {}

  TStream& FStream;
  bool FReading;
  int32_t FVersion;
};

}  // namespace kest
