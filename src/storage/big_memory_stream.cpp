#include "storage/big_memory_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/errors.h"
#include "common/sjis.h"

namespace kest {
namespace {

std::string Failure(const std::string& fileName, const char* what) {
  return Utf8ToCp932(fileName) + ": " + what + " (" + std::strerror(errno) + ")";
}

class TFd {
 public:
  explicit TFd(int fd) : FFd(fd) {}
  ~TFd() {
    if (FFd >= 0) close(FFd);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return FFd; }

 private:
  int FFd;
};

}  // namespace

int64_t TTpBigMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t size = Size();
  if (count <= 0 || FPosition >= size) return 0;
  const int64_t n = std::min(count, size - FPosition);
  std::memcpy(buffer, FBytes.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TTpBigMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const auto* in = static_cast<const uint8_t*>(buffer);
  const int64_t size = Size();
  if (FPosition > size) FBytes.resize(static_cast<size_t>(FPosition), 0);
  const int64_t overlap = std::min(count, Size() - FPosition);
  if (overlap > 0) std::memcpy(FBytes.data() + FPosition, in, static_cast<size_t>(overlap));
  FBytes.insert(FBytes.end(), in + overlap, in + count);
  FPosition += count;
  return count;
}

int64_t TTpBigMemoryStream::CopyFrom(TTpBigStream& source, int64_t count) {
  auto* memory = dynamic_cast<TTpBigMemoryStream*>(&source);
  if (!memory) return 0;
  return TTpBigStream::CopyFrom(*memory, count);
}

void TTpBigMemoryStream::Clear() {
  FBytes.clear();
  FPosition = 0;
}

void TTpBigMemoryStream::SetSize(int64_t size) {
  if (size < 0) size = 0;
  FBytes.resize(static_cast<size_t>(size), 0);
}

uint8_t* TTpBigMemoryStream::Extend(int64_t count) {
  const size_t old = FBytes.size();
  FBytes.resize(old + static_cast<size_t>(std::max<int64_t>(count, 0)));
  return FBytes.data() + old;
}

void TTpBigMemoryStream::Truncate(int64_t size) {
  if (size >= 0 && size < Size()) FBytes.resize(static_cast<size_t>(size));
}

void TTpBigMemoryStream::SaveToFile(const std::string& fileName) const {
  TFd fd(open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.Get() < 0) throw EWriteError(Failure(fileName, "cannot create"));
  size_t done = 0;
  while (done < FBytes.size()) {
    const ssize_t put = write(fd.Get(), FBytes.data() + done, FBytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) throw EWriteError(Failure(fileName, "cannot write"));
    done += static_cast<size_t>(put);
  }
}

void TTpBigMemoryStream::LoadFromFile(const std::string& fileName) {
  TFd fd(open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (fd.Get() < 0 || fstat(fd.Get(), &st) != 0) throw EReadError(Failure(fileName, "cannot open"));
  Clear();
  uint8_t* out = Extend(static_cast<int64_t>(st.st_size));
  size_t done = 0;
  const auto size = static_cast<size_t>(st.st_size);
  while (done < size) {
    const ssize_t got = read(fd.Get(), out + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw EReadError(Failure(fileName, "cannot read"));
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  Truncate(static_cast<int64_t>(done));
}

}  // namespace kest
