#include "script/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/errors.h"
#include "common/sjis.h"

namespace kest {
namespace {

class TPlainWriter final : public IFileByteWriter {
 public:
  int64_t Write(int fd, const uint8_t* data, int64_t count) override { return ::write(fd, data, count); }
};

[[noreturn]] void Fail(const std::string& path, const char* what) {
  throw EWriteError(Utf8ToCp932(path) + ": " + what + " (" + std::strerror(errno) + ")");
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

bool WriteAll(IFileByteWriter& writer, int fd, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const int64_t n = writer.Write(fd, bytes.data() + done, static_cast<int64_t>(bytes.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The rename itself is made durable by flushing the folder.
void SyncFolder(IFileByteWriter& out, const std::string& path) {
  const int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  out.Sync(fd);
  close(fd);
}

// The new file keeps the old one's permissions (a fresh temporary file
// would be readable by its owner only).
void TakeMode(int fd, const std::string& path) {
  struct stat st {};
  fchmod(fd, stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
}

}  // namespace

int IFileByteWriter::Sync(int fd) { return ::fsync(fd); }

int IFileByteWriter::Rename(const char* from, const char* to) { return std::rename(from, to); }

void ReplaceFileAtomically(const std::string& path, std::span<const uint8_t> bytes, IFileByteWriter* writer) {
  TPlainWriter plain;
  IFileByteWriter& out = writer ? *writer : plain;
  std::string temp = path + ".tmp-XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) Fail(path, "the temporary file cannot be made");
  TakeMode(fd, path);
  if (!WriteAll(out, fd, bytes) || out.Sync(fd) != 0) {
    const int saved = errno;
    close(fd);
    unlink(temp.c_str());
    errno = saved;
    Fail(path, "the file cannot be written");
  }
  if (close(fd) != 0 || out.Rename(temp.c_str(), path.c_str()) != 0) {
    const int saved = errno;
    unlink(temp.c_str());
    errno = saved;
    Fail(path, "the file cannot be replaced");
  }
  SyncFolder(out, path);
}

}  // namespace kest
