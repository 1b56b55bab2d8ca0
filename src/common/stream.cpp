#include "common/stream.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "common/errors.h"
#include "common/extended.h"

namespace kest {
namespace {

template <typename T>
void WriteLE(TStream& stream, T value) {
  uint8_t b[sizeof(T)];
  auto u = static_cast<std::make_unsigned_t<T>>(value);
  for (size_t i = 0; i < sizeof(T); ++i) b[i] = static_cast<uint8_t>(u >> (8 * i));
  WriteExact(stream, b, sizeof b);
}

template <typename T>
T ReadLE(TStream& stream) {
  uint8_t b[sizeof(T)];
  ReadExact(stream, b, sizeof b);
  std::make_unsigned_t<T> u = 0;
  for (size_t i = sizeof(T); i-- > 0;) u = static_cast<decltype(u)>((u << 8) | b[i]);
  return static_cast<T>(u);
}

}  // namespace

int64_t TByteStream::Read(void* buffer, int64_t count) {
  const std::span<const uint8_t> data = Data();
  const int64_t size = static_cast<int64_t>(data.size());
  if (count <= 0 || FPosition >= size) return 0;
  const int64_t n = std::min(count, size - FPosition);
  std::memcpy(buffer, data.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TByteStream::Write(const void* buffer, int64_t count) {
  if (FReadOnly || count <= 0) return 0;
  const int64_t end = FPosition + count;
  if (end > static_cast<int64_t>(FBytes.size())) FBytes.resize(static_cast<size_t>(end));
  std::memcpy(FBytes.data() + FPosition, buffer, static_cast<size_t>(count));
  FPosition = end;
  return count;
}

std::vector<uint8_t> TByteStream::TakeBytes() {
  FPosition = 0;
  return std::move(FBytes);
}

void RequireRemaining(TStream& stream, int64_t bytes) {
  if (bytes < 0 || bytes > stream.Remaining()) throw EReadError();
}

void ReadExact(TStream& stream, void* buffer, int64_t count) {
  if (count <= 0) return;
  if (stream.Read(buffer, count) != count) throw EReadError();
}

void WriteExact(TStream& stream, const void* buffer, int64_t count) {
  if (count <= 0) return;
  if (stream.Write(buffer, count) != count) throw EWriteError();
}

void WriteByte(TStream& stream, uint8_t value) { WriteExact(stream, &value, 1); }

uint8_t ReadByte(TStream& stream) {
  uint8_t value;
  ReadExact(stream, &value, 1);
  return value;
}

void WriteFlag(TStream& stream, bool value) { WriteByte(stream, value ? 1 : 0); }

bool ReadFlag(TStream& stream) { return ReadByte(stream) != 0; }

void WriteInt(TStream& stream, int32_t value) { WriteLE(stream, value); }

int32_t ReadInt(TStream& stream) { return ReadLE<int32_t>(stream); }

void WriteInt64(TStream& stream, int64_t value) { WriteLE(stream, value); }

int64_t ReadInt64(TStream& stream) { return ReadLE<int64_t>(stream); }

void WriteDouble(TStream& stream, double value) { WriteLE(stream, std::bit_cast<uint64_t>(value)); }

double ReadDouble(TStream& stream) { return std::bit_cast<double>(ReadLE<uint64_t>(stream)); }

void WriteExtended(TStream& stream, long double value) {
  const TExtendedBytes b = ExtendedFromLongDouble(value);
  WriteExact(stream, b.data(), static_cast<int64_t>(b.size()));
}

long double ReadExtended(TStream& stream) {
  TExtendedBytes b;
  ReadExact(stream, b.data(), static_cast<int64_t>(b.size()));
  return ExtendedToLongDouble(b);
}

void WriteStr(TStream& stream, std::string_view value) {
  if (value.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) throw EWriteError();
  WriteInt(stream, static_cast<int32_t>(value.size()));
  WriteExact(stream, value.data(), static_cast<int64_t>(value.size()));
}

std::string ReadStr(TStream& stream) {
  const int32_t n = ReadInt(stream);
  if (n <= 0) return {};
  RequireRemaining(stream, n);
  std::string value(static_cast<size_t>(n), '\0');
  ReadExact(stream, value.data(), n);
  return value;
}

}  // namespace kest
