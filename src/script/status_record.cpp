#include "script/status_record.h"

#include <cstdio>
#include <cstring>

#include "common/stream.h"
#include "language/param_collection.h"
#include "script/status_part.h"

namespace kest {
namespace {

constexpr char kMagic[] = "Status";
constexpr int64_t kMagicLength = 6;
constexpr int64_t kHeaderLength = 9;

int32_t DigitsValue(const char* digits) {
  int32_t value = 0;
  for (int i = 0; i < 3; ++i) {
    if (digits[i] < '0' || digits[i] > '9') return 0;
    value = value * 10 + (digits[i] - '0');
  }
  return value;
}

}  // namespace

void TStatusRecord::SaveToStream(TStream& stream) const {
  char header[kHeaderLength + 1];
  std::snprintf(header, sizeof header, "%s%.3d", kMagic, kWrittenVersion);
  WriteExact(stream, header, kHeaderLength);
  FVars.SaveStatusVars(stream);
  FReadList.SaveStatusPart(stream);
  FImageCache.SaveStatusPart(stream);
  FTables.SaveStatusPart(stream);
}

int32_t TStatusRecord::ReadHeader(TStream& stream) {
  const int64_t start = stream.Position();
  char header[kHeaderLength];
  if (stream.Read(header, kHeaderLength) == kHeaderLength && std::memcmp(header, kMagic, kMagicLength) == 0)
    return DigitsValue(header + kMagicLength);
  stream.Seek(start);
  return 0;
}

int32_t TStatusRecord::LoadFromStream(TStream& stream) {
  const int32_t version = ReadHeader(stream);
  FVars.LoadStatusVars(stream, version);
  FReadList.LoadStatusPart(stream, version);
  FImageCache.LoadStatusPart(stream, version);
  if (version >= kStatusSinceTables) FTables.LoadStatusPart(stream, version);
  return version;
}

}  // namespace kest
