// A private temporary folder for one test, and whole-file reads and writes.
#pragma once

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

class TTempDir {
 public:
  TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kest_test_XXXXXX").string();
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

}  // namespace kest::test
