#include "script/kept_status_parts.h"

#include "common/errors.h"
#include "common/stream.h"
#include "script/status_record_versions.h"

namespace kest {
namespace {

void SkipBytes(TStream& stream, int64_t count) {
  RequireRemaining(stream, count);
  stream.Seek(stream.Position() + count);
}

void SkipStr(TStream& stream) {
  const int32_t length = ReadInt(stream);
  if (length > 0) SkipBytes(stream, length);
}

int32_t ReadCount(TStream& stream, int64_t minItemBytes, const char* what) {
  const int32_t count = ReadInt(stream);
  if (count < 0) throw EReadError(std::string("status data: the ") + what + " count is negative");
  RequireRemaining(stream, count * minItemBytes);
  return count;
}

// A field: its size, then its name and type. The record size it adds.
int64_t SkipField(TStream& stream) {
  const int32_t size = ReadInt(stream);
  if (size < 0) throw EReadError("status data: a table field has a negative size");
  SkipStr(stream);
  ReadByte(stream);
  return size;
}

void SkipTable(TStream& stream) {
  ReadByte(stream);
  SkipStr(stream);
  ReadByte(stream);
  const int32_t fields = ReadCount(stream, 9, "table field");
  int64_t record_size = 0;
  for (int32_t i = 0; i < fields; ++i) record_size += SkipField(stream);
  const int32_t records = ReadCount(stream, record_size, "table record");
  SkipBytes(stream, records * record_size);
  ReadInt(stream);
}

}  // namespace

void TKeptStatusPart::SaveStatusPart(TStream& stream) const {
  if (!FHasKept) {
    WriteEmpty(stream);
    return;
  }
  WriteExact(stream, FKept.data(), static_cast<int64_t>(FKept.size()));
}

void TKeptStatusPart::LoadStatusPart(TStream& stream, int32_t version) {
  const int64_t start = stream.Position();
  Skip(stream, version);
  const int64_t end = stream.Position();
  std::vector<uint8_t> kept(static_cast<size_t>(end - start));
  stream.Seek(start);
  ReadExact(stream, kept.data(), end - start);
  FKept = std::move(kept);
  FHasKept = end > start;
}

void TKeptReadList::Skip(TStream& stream, int32_t version) const {
  if (version < kStatusSinceReadMarks) return;
  const int32_t items = ReadCount(stream, 8, "read mark");
  for (int32_t i = 0; i < items; ++i) {
    SkipStr(stream);
    const int32_t pairs = ReadCount(stream, 8, "read mark pair");
    SkipBytes(stream, int64_t{pairs} * 8);
  }
  SkipStr(stream);
  SkipBytes(stream, 8);
  SkipStr(stream);
}

void TKeptReadList::WriteEmpty(TStream& stream) const {
  WriteInt(stream, 0);
  WriteStr(stream, {});
  WriteInt(stream, 0);
  WriteInt(stream, 0);
  WriteStr(stream, {});
}

void TKeptImageCacheState::Skip(TStream& stream, int32_t version) const {
  if (version >= kStatusSinceImageCacheState) ReadByte(stream);
}

void TKeptImageCacheState::WriteEmpty(TStream& stream) const { WriteFlag(stream, false); }

void TKeptStatusTables::Skip(TStream& stream, int32_t) const {
  ReadInt(stream);
  const int32_t tables = ReadCount(stream, 18, "table");
  for (int32_t i = 0; i < tables; ++i) SkipTable(stream);
}

void TKeptStatusTables::WriteEmpty(TStream& stream) const {
  WriteInt(stream, kFormatVersion);
  WriteInt(stream, 0);
}

}  // namespace kest
