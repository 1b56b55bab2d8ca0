#pragma once
// What the script tests share: records built byte by byte as the formats lay
// them out (so fixtures never come from the writer they test), a private
// temporary folder, and files in it.

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_files.h"

namespace kest::test {

class TRecordBytes {
 public:
  TRecordBytes& Byte(uint8_t b) {
    FBytes.push_back(b);
    return *this;
  }
  TRecordBytes& Int(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int k = 0; k < 4; ++k) FBytes.push_back(static_cast<uint8_t>(u >> (8 * k)));
    return *this;
  }
  TRecordBytes& Str(std::string_view s) {
    Int(static_cast<int32_t>(s.size()));
    FBytes.insert(FBytes.end(), s.begin(), s.end());
    return *this;
  }
  TRecordBytes& Raw(std::string_view s) {
    FBytes.insert(FBytes.end(), s.begin(), s.end());
    return *this;
  }
  TRecordBytes& Raw(std::initializer_list<uint8_t> bytes) {
    FBytes.insert(FBytes.end(), bytes);
    return *this;
  }
  const TBytes& Bytes() const { return FBytes; }

 private:
  TBytes FBytes;
};

// Files in a folder other than the given one (temporary files left behind).
inline int CountFiles(const std::string& folder) {
  int n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) n += entry.is_regular_file() ? 1 : 0;
  return n;
}

}  // namespace kest::test
