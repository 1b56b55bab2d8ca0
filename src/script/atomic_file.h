#pragma once
// Replacing a file whole or not at all: the bytes go to a temporary file in
// the same folder, which is flushed to the disk and then renamed over the
// old one. A crash or a failed write at any point leaves the old file as it
// was, and no temporary file behind.

#include <cstdint>
#include <span>
#include <string>

namespace kest {

// How bytes reach the temporary file and how it is flushed and put in place
// (tests put in one that fails midway or notes the order of the steps).
class IFileByteWriter {
 public:
  virtual ~IFileByteWriter() = default;
  // Like write(2): how many bytes went out, or -1 on failure.
  virtual int64_t Write(int fd, const uint8_t* data, int64_t count) = 0;
  // Like fsync(2), for the temporary file and then for its folder.
  virtual int Sync(int fd);
  // Like rename(2).
  virtual int Rename(const char* from, const char* to);
};

// Raises EWriteError naming the file when it cannot be replaced.
void ReplaceFileAtomically(const std::string& path, std::span<const uint8_t> bytes, IFileByteWriter* writer = nullptr);

}  // namespace kest
