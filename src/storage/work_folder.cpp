#include "storage/work_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "common/errors.h"
#include "common/sjis.h"

namespace kest {
namespace {

std::string DefaultParent() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp && *tmp ? std::string(tmp) : std::string("/tmp");
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

TWorkFolder::TWorkFolder(std::string parent) : FParent(parent.empty() ? DefaultParent() : std::move(parent)) {
  if (FParent.back() != '/') FParent += '/';
}

TWorkFolder::~TWorkFolder() { RemoveFolder(); }

void TWorkFolder::FailCreate() { throw EKestError(Utf8ToCp932("作業用ファイルが作れません")); }

const std::string& TWorkFolder::Path() {
  if (FPath.empty()) {
    std::string pattern = FParent + "kestplayer-XXXXXX";
    if (!mkdtemp(pattern.data())) FailCreate();
    FPath = pattern + "/";
  }
  return FPath;
}

std::string TWorkFolder::CreateFile(const std::string& name, std::span<const uint8_t> bytes) {
  if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") FailCreate();
  const std::string path = Path() + name;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) FailCreate();
  const bool written = WriteAll(fd, bytes.data(), bytes.size());
  const bool closed = close(fd) == 0;
  if (!written || !closed) {
    unlink(path.c_str());
    FailCreate();
  }
  return path;
}

void TWorkFolder::DeleteFile(const std::string& path) { unlink(path.c_str()); }

// Everything in the folder is ours; entries are unlinked, never followed.
void TWorkFolder::RemoveFolder() {
  if (FPath.empty()) return;
  if (DIR* dir = opendir(FPath.c_str())) {
    const int fd = dirfd(dir);
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") unlinkat(fd, name.c_str(), 0);
    }
    closedir(dir);
  }
  rmdir(FPath.c_str());
  FPath.clear();
}

}  // namespace kest
