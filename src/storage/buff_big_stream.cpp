#include "storage/buff_big_stream.h"

#include <algorithm>
#include <cstring>

namespace kest {

TTpBuffBigStream::TTpBuffBigStream(TTpBigStream& source)
    : FSource(source), FBuffer(std::make_unique<uint8_t[]>(kCapacity)) {}

TTpBuffBigStream::~TTpBuffBigStream() { Release(); }

void TTpBuffBigStream::Release() {
  const int64_t unread = FFill - FNext;
  if (unread > 0) FSource.Seek(FSource.Position() - unread);
  FFill = FNext = 0;
}

int64_t TTpBuffBigStream::Read(void* buffer, int64_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (count > 0) {
    if (FNext == FFill) {
      FNext = 0;
      FFill = std::max<int64_t>(FSource.Read(FBuffer.get(), kCapacity), 0);
      if (FFill == 0) break;
    }
    const int64_t n = std::min(count, FFill - FNext);
    std::memcpy(out + done, FBuffer.get() + FNext, static_cast<size_t>(n));
    FNext += n;
    done += n;
    count -= n;
  }
  return done;
}

int64_t TTpBuffBigStream::Position() { return FSource.Position() - (FFill - FNext); }

void TTpBuffBigStream::Seek(int64_t position) {
  FFill = FNext = 0;
  FSource.Seek(position);
}

}  // namespace kest
