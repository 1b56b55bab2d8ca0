#pragma once
// Streams with 64-bit sizes and positions over files, memory and program
// resources, which archives and save files outgrow a 32-bit position in. The
// copy operations move bytes between streams in large pieces so that no
// caller loops byte by byte.

#include <cstdint>

#include "common/stream.h"

namespace kest {

// The open mode word of a big file stream: the low four bits are the access,
// bits 4..7 the sharing. Sharing is recorded but has no effect here: the host
// has no mandatory file locks, and an archive is only ever read while mounted.
namespace big_file_mode {
constexpr uint16_t kOpenRead = 0x0000;
constexpr uint16_t kOpenWrite = 0x0001;
constexpr uint16_t kOpenReadWrite = 0x0002;
constexpr uint16_t kCreate = 0x000F;
constexpr uint16_t kShareExclusive = 0x0010;
constexpr uint16_t kShareDenyWrite = 0x0020;
constexpr uint16_t kShareDenyNone = 0x0040;
}  // namespace big_file_mode

class TTpBigStream : public TStream {
 public:
  // Copies count bytes from the source's position to this stream's position;
  // a count of 0 copies the whole source from its start. The result is the
  // number of bytes copied.
  virtual int64_t CopyFrom(TTpBigStream& source, int64_t count);
  virtual int64_t CopyFromStream(TStream& source, int64_t count);
  // Copies up to count bytes from this stream's position into the destination.
  virtual int64_t CopyToStream(TStream& destination, int64_t count);

 protected:
  static constexpr int64_t kCopyBufferSize = 1 << 20;
  // The piecewise copy every stream can do through Read and Write.
  static int64_t CopyThroughBuffer(TStream& source, TStream& destination, int64_t count);
};

}  // namespace kest
