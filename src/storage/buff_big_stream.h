#pragma once
// A forward read buffer over a big stream, so that parsing many small records
// costs one large read of the source per 100 KiB. When it is released the
// source stands exactly after the last byte handed out, as if it had been read
// directly.

#include <cstdint>
#include <memory>

#include "storage/big_stream.h"

namespace kest {

class TTpBuffBigStream : public TStream {
 public:
  static constexpr int64_t kCapacity = 102400;

  explicit TTpBuffBigStream(TTpBigStream& source);
  ~TTpBuffBigStream() override;
  TTpBuffBigStream(const TTpBuffBigStream&) = delete;
  TTpBuffBigStream& operator=(const TTpBuffBigStream&) = delete;

  // Stops when the source yields nothing more.
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  // Positions and sizes are those of the source as the reader sees it.
  int64_t Position() override;
  void Seek(int64_t position) override;
  int64_t Size() override { return FSource.Size(); }

  // Gives the unread buffered bytes back to the source.
  void Release();

 private:
  TTpBigStream& FSource;
  std::unique_ptr<uint8_t[]> FBuffer;
  int64_t FFill = 0;
  int64_t FNext = 0;
};

}  // namespace kest
