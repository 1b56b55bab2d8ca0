#pragma once
// Builds stored records byte by byte, as the formats lay them out, so fixtures
// never come from the writer they test.

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace kest::test {

class RecordBytes {
 public:
  RecordBytes& Byte(uint8_t b) {
    FBytes.push_back(b);
    return *this;
  }
  RecordBytes& Int(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int k = 0; k < 4; ++k) FBytes.push_back(static_cast<uint8_t>(u >> (8 * k)));
    return *this;
  }
  RecordBytes& Str(std::string_view s) {
    Int(static_cast<int32_t>(s.size()));
    FBytes.insert(FBytes.end(), s.begin(), s.end());
    return *this;
  }
  RecordBytes& Raw(std::initializer_list<uint8_t> bytes) {
    FBytes.insert(FBytes.end(), bytes);
    return *this;
  }
  RecordBytes& Append(const RecordBytes& other) {
    FBytes.insert(FBytes.end(), other.FBytes.begin(), other.FBytes.end());
    return *this;
  }
  // A scalar value stream: no dimensions, one element.
  RecordBytes& ScalarInt(int32_t v) { return Int(0).Int(1).Int(v); }
  RecordBytes& ScalarStr(std::string_view s) { return Int(0).Int(1).Str(s); }
  // The scope fields that end a variable record.
  RecordBytes& Scope(uint8_t isStatus, int32_t ownerId, uint8_t isLocal) {
    return Byte(isStatus).Byte(0).Int(ownerId).Byte(isLocal);
  }

  const std::vector<uint8_t>& Bytes() const { return FBytes; }

 private:
  std::vector<uint8_t> FBytes;
};

}  // namespace kest::test
