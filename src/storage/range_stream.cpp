#include "storage/range_stream.h"

#include <algorithm>

#include "storage/big_resource_stream.h"

namespace kest {

TRangeStream::TRangeStream(std::unique_ptr<TTpBigStream> source, int64_t start, int64_t length)
    : FSource(std::move(source)), FStart(std::max<int64_t>(start, 0)), FLength(length) {
  if (FLength < 0) FLength = std::max<int64_t>(FSource->Size() - FStart, 0);
  FSource->Seek(FStart);
}

int64_t TRangeStream::Seek(int64_t offset, TSeekOrigin origin) {
  std::lock_guard lock(FLock);
  int64_t target;
  switch (origin) {
    case TSeekOrigin::Beginning: target = FStart + offset; break;
    case TSeekOrigin::Current: target = FSource->Position() + offset; break;
    case TSeekOrigin::End: target = FStart + FLength + offset; break;
    default: target = FSource->Position(); break;
  }
  FSource->Seek(std::clamp(target, FStart, FStart + FLength));
  return FSource->Position() - FStart;
}

int64_t TRangeStream::Read(void* buffer, int64_t count) {
  std::lock_guard lock(FLock);
  const int64_t left = FStart + FLength - FSource->Position();
  count = std::min(count, left);
  if (count <= 0) return 0;
  return FSource->Read(buffer, count);
}

// A window that begins behind the end of a shorter file stands at its start.
int64_t TRangeStream::Position() {
  std::lock_guard lock(FLock);
  return std::max<int64_t>(FSource->Position() - FStart, 0);
}

TFileRangeStream::TFileRangeStream(const std::string& fileName, int64_t length, int64_t start, int64_t segmentSize)
    : TRangeStream(std::make_unique<TTpBigFileStream>(
                       fileName, big_file_mode::kOpenRead | big_file_mode::kShareDenyWrite, segmentSize),
                   start, length) {}

TResourceRangeStream::TResourceRangeStream(const std::string& programPath, std::string_view resourceName,
                                           int64_t length, int64_t start, std::string_view resourceType)
    : TRangeStream(std::make_unique<TTpBigResourceStream>(programPath, resourceName, resourceType), start, length) {}

}  // namespace kest
