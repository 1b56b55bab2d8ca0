#include "storage/zlib_codec.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "common/errors.h"
#include "storage/big_memory_stream.h"

namespace kest {
namespace {

constexpr int64_t kMaxInflated = int64_t{1} << 30;
constexpr int64_t kMinGuess = 64 * 1024;
constexpr uInt kMaxChunk = std::numeric_limits<uInt>::max() / 2;

class TInflater {
 public:
  TInflater() {
    if (inflateInit(&FStream) != Z_OK) throw EReadError("zlib: cannot start inflating");
  }
  ~TInflater() { inflateEnd(&FStream); }
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;
  z_stream& Stream() { return FStream; }

 private:
  z_stream FStream{};
};

}  // namespace

std::vector<uint8_t> ZlibCompress(std::span<const uint8_t> plain, int level) {
  uLongf size = compressBound(static_cast<uLong>(plain.size()));
  std::vector<uint8_t> packed(size);
  if (compress2(packed.data(), &size, plain.data(), static_cast<uLong>(plain.size()), level) != Z_OK)
    throw EWriteError("zlib: cannot compress");
  packed.resize(size);
  return packed;
}

int64_t InflateBound(int64_t stored) {
  if (stored <= 0) return 0;
  if (stored > kMaxInflated / 1033) return kMaxInflated;
  return std::min(stored * 1033 + 64, kMaxInflated);
}

void ZlibInflate(std::span<const uint8_t> packed, TTpBigMemoryStream& out, int64_t maxSize,
                 const std::string& context) {
  TInflater inflater;
  z_stream& z = inflater.Stream();
  const int64_t base = out.Size();
  int64_t produced = 0;
  int64_t capacity = std::min(maxSize, std::max<int64_t>(static_cast<int64_t>(packed.size()) * 4, kMinGuess));
  uint8_t* window = out.Extend(capacity);
  size_t in_done = 0;
  for (;;) {
    if (produced == capacity) {
      if (capacity >= maxSize) {
        out.Truncate(base + produced);
        throw EReadError(context + ": inflates past its bound");
      }
      const int64_t more = std::min(capacity, maxSize - capacity);
      out.Extend(more);
      capacity += more;
      window = out.MutableData() + base;
    }
    const size_t in_left = packed.size() - in_done;
    z.next_in = const_cast<Bytef*>(packed.data() + in_done);
    z.avail_in = static_cast<uInt>(std::min<size_t>(in_left, kMaxChunk));
    z.next_out = window + produced;
    z.avail_out = static_cast<uInt>(std::min<int64_t>(capacity - produced, kMaxChunk));
    const uInt in_before = z.avail_in;
    const uInt out_before = z.avail_out;
    const int status = inflate(&z, Z_NO_FLUSH);
    in_done += in_before - z.avail_in;
    produced += out_before - z.avail_out;
    if (status == Z_STREAM_END) break;
    const bool stalled = in_before == z.avail_in && out_before == z.avail_out;
    if ((status != Z_OK && status != Z_BUF_ERROR) || (stalled && produced < capacity)) {
      out.Truncate(base + produced);
      throw EReadError(context +
                       (in_done >= packed.size() ? ": the zlib data ends early" : ": the zlib data does not inflate"));
    }
  }
  out.Truncate(base + produced);
}

uint32_t Crc32(std::span<const uint8_t> bytes, uint32_t crc) {
  while (!bytes.empty()) {
    const size_t n = std::min<size_t>(bytes.size(), kMaxChunk);
    crc = static_cast<uint32_t>(crc32(crc, bytes.data(), static_cast<uInt>(n)));
    bytes = bytes.subspan(n);
  }
  return crc;
}

}  // namespace kest
