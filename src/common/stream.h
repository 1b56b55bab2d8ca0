#pragma once
// Byte streams and the primitives in which every stored record of the system is
// written: little-endian, no alignment, no terminators. Raw Read and Write
// report how much they moved; the primitives raise EReadError on a short read,
// so a record reader never works on bytes that were not there.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kest {

class TStream {
 public:
  virtual ~TStream() = default;
  // The number of bytes read, fewer than count (0 at the end) when the stream ends.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // The number of bytes written; fewer than count when the stream cannot take them.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Position() = 0;
  virtual void Seek(int64_t position) = 0;
  virtual int64_t Size() = 0;

  int64_t Remaining() { return Size() - Position(); }
};

// A growable stream in memory, or a read-only one over bytes that someone else
// keeps alive for as long as the stream is used.
class TByteStream : public TStream {
 public:
  TByteStream() = default;
  explicit TByteStream(std::vector<uint8_t> bytes) : FBytes(std::move(bytes)) {}
  explicit TByteStream(std::span<const uint8_t> view) : FView(view), FReadOnly(true) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Position() override { return FPosition; }
  // Seeking behind the end is allowed; a later write fills the gap with zeros.
  void Seek(int64_t position) override { FPosition = position < 0 ? 0 : position; }
  int64_t Size() override { return static_cast<int64_t>(Data().size()); }

  std::span<const uint8_t> Data() const { return FReadOnly ? FView : std::span<const uint8_t>(FBytes); }
  // The written bytes (empty for a read-only stream).
  const std::vector<uint8_t>& Bytes() const { return FBytes; }
  std::vector<uint8_t> TakeBytes();

 private:
  std::vector<uint8_t> FBytes;
  std::span<const uint8_t> FView;
  bool FReadOnly = false;
  int64_t FPosition = 0;
};

// Raises EReadError unless at least `bytes` remain; record readers call it with
// their counts before they allocate anything for them.
void RequireRemaining(TStream& stream, int64_t bytes);

void ReadExact(TStream& stream, void* buffer, int64_t count);
void WriteExact(TStream& stream, const void* buffer, int64_t count);

void WriteByte(TStream& stream, uint8_t value);
uint8_t ReadByte(TStream& stream);
void WriteFlag(TStream& stream, bool value);
bool ReadFlag(TStream& stream);
void WriteInt(TStream& stream, int32_t value);
int32_t ReadInt(TStream& stream);
void WriteInt64(TStream& stream, int64_t value);
int64_t ReadInt64(TStream& stream);
void WriteDouble(TStream& stream, double value);
double ReadDouble(TStream& stream);
// 10-byte extended floats (see extended.h for the encoding).
void WriteExtended(TStream& stream, long double value);
long double ReadExtended(TStream& stream);
// A 4-byte signed length n, then n bytes; a length of 0 or less reads as empty.
void WriteStr(TStream& stream, std::string_view value);
std::string ReadStr(TStream& stream);

}  // namespace kest
