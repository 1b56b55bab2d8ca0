#include "storage/big_stream.h"

#include <algorithm>
#include <memory>

namespace kest {

int64_t TTpBigStream::CopyThroughBuffer(TStream& source, TStream& destination, int64_t count) {
  if (count <= 0) return 0;
  const auto buffer = std::make_unique<uint8_t[]>(static_cast<size_t>(std::min(count, kCopyBufferSize)));
  int64_t copied = 0;
  while (count > 0) {
    const int64_t want = std::min(count, kCopyBufferSize);
    const int64_t got = source.Read(buffer.get(), want);
    if (got <= 0) break;
    const int64_t put = destination.Write(buffer.get(), got);
    copied += put;
    count -= got;
    if (put != got) break;
  }
  return copied;
}

int64_t TTpBigStream::CopyFrom(TTpBigStream& source, int64_t count) { return CopyFromStream(source, count); }

int64_t TTpBigStream::CopyFromStream(TStream& source, int64_t count) {
  if (count == 0) {
    source.Seek(0);
    count = source.Size();
  }
  return CopyThroughBuffer(source, *this, count);
}

int64_t TTpBigStream::CopyToStream(TStream& destination, int64_t count) {
  return CopyThroughBuffer(*this, destination, count);
}

}  // namespace kest
