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

namespace kest::test {

using TBytes = std::vector<uint8_t>;

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

class TTempDir {
 public:
  TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kest_script_XXXXXX").string();
    FPath = mkdtemp(pattern.data());
  }
  ~TTempDir() {
    std::error_code error;
    std::filesystem::remove_all(FPath, error);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  std::string operator/(std::string_view name) const { return FPath + "/" + std::string(name); }
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

inline void WriteFile(const std::string& path, const TBytes& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline TBytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return TBytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Files in a folder other than the given one (temporary files left behind).
inline int CountFiles(const std::string& folder) {
  int n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) n += entry.is_regular_file() ? 1 : 0;
  return n;
}

}  // namespace kest::test
