#include "storage/big_file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include "common/errors.h"
#include "common/sjis.h"

namespace kest {
namespace {

constexpr uint16_t kAccessMask = 0x0F;

std::string Failure(const std::string& fileName, const char* what) {
  return Utf8ToCp932(fileName) + ": " + what + " (" + std::strerror(errno) + ")";
}

int64_t FileSizeOf(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return 0;
  return static_cast<int64_t>(st.st_size);
}

}  // namespace

TTpBigFileStream::TTpBigFileStream(std::string fileName, uint16_t mode, int64_t segmentSize)
    : FFileName(std::move(fileName)),
      FMode(mode),
      FSegmentSize(segmentSize > 0 ? segmentSize : std::numeric_limits<int64_t>::max()) {
  const uint16_t access = mode & kAccessMask;
  if (access == big_file_mode::kOpenRead || access == big_file_mode::kOpenReadWrite) {
    OpenExisting();
  } else {
    DeleteSegments();
  }
}

TTpBigFileStream::~TTpBigFileStream() {
  const bool flush = (FMode & kAccessMask) != big_file_mode::kOpenRead;
  for (const TSegment& segment : FSegments) {
    if (flush) fsync(segment.Fd);
    close(segment.Fd);
  }
}

bool TTpBigFileStream::Writable() const { return (FMode & kAccessMask) != big_file_mode::kOpenRead; }

std::string TTpBigFileStream::SegmentName(const std::string& fileName, int32_t index) {
  if (index == 0) return fileName;
  const size_t slash = fileName.rfind('/');
  const size_t dot = fileName.rfind('.');
  const bool has_ext = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, ".%.3d", index);
  return (has_ext ? fileName.substr(0, dot) : fileName) + suffix;
}

std::string TTpBigFileStream::SegmentName(int32_t index) const { return SegmentName(FFileName, index); }

void TTpBigFileStream::OpenExisting() {
  const bool single = FSegmentSize == std::numeric_limits<int64_t>::max();
  const int flags = ((FMode & kAccessMask) == big_file_mode::kOpenRead ? O_RDONLY : O_RDWR) | O_CLOEXEC;
  for (int32_t i = 0;; ++i) {
    const int fd = open(SegmentName(i).c_str(), flags);
    if (fd < 0) {
      if (i == 0) throw EReadError(Failure(FFileName, "cannot open"));
      break;
    }
    FSegments.push_back({fd, FileSizeOf(fd)});
    if (single) break;
  }
}

void TTpBigFileStream::DeleteSegments() {
  for (int32_t i = 0;; ++i) {
    if (unlink(SegmentName(i).c_str()) != 0) break;
    if (FSegmentSize == std::numeric_limits<int64_t>::max()) break;
  }
}

TTpBigFileStream::TSegment& TTpBigFileStream::SegmentForWrite(size_t index) {
  while (FSegments.size() <= index) {
    const std::string name = SegmentName(static_cast<int32_t>(FSegments.size()));
    const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw EWriteError(Failure(name, "cannot create"));
    FSegments.push_back({fd, 0});
  }
  return FSegments[index];
}

size_t TTpBigFileStream::SegmentOf(int64_t p) const { return static_cast<size_t>(p / FSegmentSize); }

int64_t TTpBigFileStream::OffsetIn(int64_t p) const { return p % FSegmentSize; }

void TTpBigFileStream::Seek(int64_t position) { FPosition = std::clamp<int64_t>(position, 0, Size()); }

int64_t TTpBigFileStream::Size() {
  int64_t size = 0;
  for (const TSegment& segment : FSegments) size += segment.Size;
  return size;
}

// A segment shorter than the segment size ends the readable stream even when
// more segments follow, since the bytes behind it have no position.
int64_t TTpBigFileStream::Read(void* buffer, int64_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (count > 0) {
    const size_t i = SegmentOf(FPosition);
    if (i >= FSegments.size()) break;
    const int64_t offset = OffsetIn(FPosition);
    const int64_t n = std::min(FSegments[i].Size - offset, count);
    if (n <= 0) break;
    const ssize_t got = pread(FSegments[i].Fd, out + done, static_cast<size_t>(n), offset);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EReadError(Failure(SegmentName(static_cast<int32_t>(i)), "cannot read"));
    }
    if (got == 0) break;
    FPosition += got;
    done += got;
    count -= got;
  }
  return done;
}

int64_t TTpBigFileStream::Write(const void* buffer, int64_t count) {
  if (!Writable()) return 0;
  const auto* in = static_cast<const uint8_t*>(buffer);
  int64_t done = 0;
  while (count > 0) {
    const size_t i = SegmentOf(FPosition);
    TSegment& segment = SegmentForWrite(i);
    const int64_t offset = OffsetIn(FPosition);
    const int64_t n = std::min(FSegmentSize - offset, count);
    const ssize_t put = pwrite(segment.Fd, in + done, static_cast<size_t>(n), offset);
    if (put < 0) {
      if (errno == EINTR) continue;
      throw EWriteError(Failure(SegmentName(static_cast<int32_t>(i)), "cannot write"));
    }
    if (put == 0) break;
    segment.Size = std::max(segment.Size, offset + put);
    FPosition += put;
    done += put;
    count -= put;
  }
  return done;
}

int64_t TTpBigFileStream::CopyFrom(TTpBigStream& source, int64_t count) {
  if (count == 0) {
    source.Seek(0);
    count = source.Size();
  }
  if (auto* file = dynamic_cast<TTpBigFileStream*>(&source)) return CopyFromSegments(*file, count);
  return CopyThroughBuffer(source, *this, count);
}

// copy_file_range moves the bytes inside the kernel, piece by piece as the
// segments of both sides allow.
int64_t TTpBigFileStream::CopyFromSegments(TTpBigFileStream& source, int64_t count) {
  if (!Writable()) return 0;
  int64_t done = 0;
  while (count > 0) {
    const size_t si = source.SegmentOf(source.FPosition);
    if (si >= source.FSegments.size()) break;
    off64_t from = source.OffsetIn(source.FPosition);
    const int64_t available = source.FSegments[si].Size - from;
    TSegment& target = SegmentForWrite(SegmentOf(FPosition));
    off64_t to = OffsetIn(FPosition);
    const int64_t n = std::min({available, FSegmentSize - to, count});
    if (n <= 0) break;
    const ssize_t moved = copy_file_range(source.FSegments[si].Fd, &from, target.Fd, &to, static_cast<size_t>(n), 0);
    if (moved < 0) {
      if (errno == EINTR) continue;
      if (done == 0) return CopyThroughBuffer(source, *this, count);
      throw EWriteError(Failure(FFileName, "cannot copy"));
    }
    if (moved == 0) break;
    target.Size = std::max<int64_t>(target.Size, to);
    FPosition += moved;
    source.FPosition += moved;
    done += moved;
    count -= moved;
  }
  return done;
}

}  // namespace kest
