#pragma once
// Streams held in memory: TTpBigMemoryStream for save data, extracted entries
// and whole index files, and TTpMemoryStream, the ordinary growable memory
// stream under its own name.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "common/stream.h"
#include "storage/big_stream.h"

namespace kest {

class TTpMemoryStream : public TByteStream {
 public:
  using TByteStream::TByteStream;
};

namespace memory_detail {

// Growing the buffer leaves the new bytes as they come: an extracted entry is
// filled by the reader or the inflater right away, and clearing them first
// would cost as much again as filling them.
template <typename T>
struct TUninitAllocator : std::allocator<T> {
  using std::allocator<T>::allocator;
  template <typename U>
  struct rebind {
    using other = TUninitAllocator<U>;
  };
  template <typename U>
  TUninitAllocator(const TUninitAllocator<U>&) noexcept {}
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    if constexpr (sizeof...(Args) == 0) {
      ::new (static_cast<void*>(p)) U;
    } else {
      ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
  }
};

}  // namespace memory_detail

class TTpBigMemoryStream : public TTpBigStream {
 public:
  using TBytes = std::vector<uint8_t, memory_detail::TUninitAllocator<uint8_t>>;

  TTpBigMemoryStream() = default;
  explicit TTpBigMemoryStream(std::span<const uint8_t> bytes) : FBytes(bytes.begin(), bytes.end()) {}

  int64_t Read(void* buffer, int64_t count) override;
  // Writing behind the end fills the gap with zeros.
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Position() override { return FPosition; }
  void Seek(int64_t position) override { FPosition = position < 0 ? 0 : position; }
  int64_t Size() override { return static_cast<int64_t>(FBytes.size()); }

  // Only from another memory stream; any other source copies nothing.
  int64_t CopyFrom(TTpBigStream& source, int64_t count) override;

  // Empties the stream and rewinds it; the memory stays for the next content.
  void Clear();
  // New bytes are zero.
  void SetSize(int64_t size);
  // Grows the stream by count bytes whose content is undefined until written,
  // and answers where they begin; for a reader that fills them at once.
  uint8_t* Extend(int64_t count);
  // Cuts the stream to size bytes (never grows it).
  void Truncate(int64_t size);

  std::span<const uint8_t> Data() const { return {FBytes.data(), FBytes.size()}; }
  uint8_t* MutableData() { return FBytes.data(); }

  // Raise EKestError naming the file when it cannot be read or written.
  void SaveToFile(const std::string& fileName) const;
  void LoadFromFile(const std::string& fileName);

 private:
  TBytes FBytes;
  int64_t FPosition = 0;
};

}  // namespace kest
