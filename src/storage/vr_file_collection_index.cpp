// Reading the index of an archive, every version. Nothing in it is trusted:
// each count is weighed against the bytes that remain before anything is kept
// for it, and the offsets must rise, so an entry never has a negative size.
#include <limits>

#include "common/errors.h"
#include "storage/archive_mask.h"
#include "storage/buff_big_stream.h"
#include "storage/vr_file_collection.h"

namespace kest {

struct TVrFileCollection::TIndexRecord {
  std::string Name;
  int64_t Offset = 0;
  int64_t Size = 0;
  bool Stored = false;
  uint32_t Timestamp = 0;
  uint32_t Checksum = 0;
  bool ChecksumOfPlain = false;
};

namespace {

int64_t OffsetBytes(int32_t version) { return version >= kArchiveSinceWideOffsets ? 8 : 4; }

int64_t TableBytes(int32_t version) {
  if (version < kArchiveSinceEntryTables) return 0;
  return version >= kArchiveSincePlainChecksums ? 10 : 9;
}

uint32_t Le32(const uint8_t* b) {
  return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
         static_cast<uint32_t>(b[3]) << 24;
}

int64_t Le64(const uint8_t* b) { return static_cast<int64_t>(Le32(b) | static_cast<uint64_t>(Le32(b + 4)) << 32); }

std::string EntryLabel(size_t index) { return "entry " + std::to_string(index); }

}  // namespace

void TVrFileCollection::ReadIndex(TTpBigStream& stream) {
  const int64_t start = stream.Position();
  int32_t version = 0;
  int32_t count = 0;
  try {
    uint8_t magic[2];
    if (stream.Read(magic, 2) == 2 && magic[0] == 'v' && magic[1] == 'f') {
      version = ReadInt(stream);
    } else {
      stream.Seek(start);
    }
    count = ReadInt(stream);
  } catch (const EReadError&) {
    Fail({}, "the index is cut short");
  }
  if (count < 0) Fail({}, "the index has a negative entry count");
  const int64_t least = int64_t{count} * (4 + OffsetBytes(version) + TableBytes(version)) + OffsetBytes(version);
  if (least > stream.Remaining()) Fail({}, "the index counts more entries than it holds");

  std::vector<TIndexRecord> records(static_cast<size_t>(count));
  ReadNames(stream, records, version >= kArchiveSinceMasking);
  ReadOffsets(stream, records, version, start);
  ReadTables(stream, records, version);

  for (TIndexRecord& record : records) {
    TVrFile* entry = AddNamed(record.Name);
    entry->Offset = record.Offset;
    entry->Size = record.Size;
    entry->Stored = record.Stored;
    entry->Timestamp = record.Timestamp;
    entry->Checksum = record.Checksum;
    entry->ChecksumOfPlain = record.ChecksumOfPlain;
    entry->InArchive = true;
  }
  FVersion = version;
}

void TVrFileCollection::ReadNames(TTpBigStream& stream, std::vector<TIndexRecord>& records, bool masked) {
  TTpBuffBigStream buffer(stream);
  TArchiveMask mask;
  for (size_t i = 0; i < records.size(); ++i) {
    try {
      records[i].Name = ReadStr(buffer);
    } catch (const EReadError&) {
      Fail(EntryLabel(i), "its name is cut short");
    }
    if (masked) mask.MaskName(records[i].Name);
  }
}

void TVrFileCollection::ReadOffsets(TTpBigStream& stream, std::vector<TIndexRecord>& records, int32_t version,
                                    int64_t start) {
  const int64_t width = OffsetBytes(version);
  const int64_t bytes = (static_cast<int64_t>(records.size()) + 1) * width;
  if (bytes > stream.Remaining()) Fail({}, "the offset table is cut short");
  std::vector<uint8_t> raw(static_cast<size_t>(bytes));
  ReadExact(stream, raw.data(), bytes);
  TArchiveMask mask;
  int64_t previous = 0;
  for (size_t i = 0; i <= records.size(); ++i) {
    const uint8_t* at = raw.data() + i * static_cast<size_t>(width);
    int64_t offset;
    if (version >= kArchiveSinceWideOffsets) {
      offset = mask.MaskOffset64(Le64(at));
    } else {
      const auto value = static_cast<int32_t>(Le32(at));
      offset = version >= kArchiveSinceMasking ? mask.MaskOffset32(value) : value;
    }
    const std::string& name = i < records.size() ? records[i].Name
                              : records.empty()  ? std::string()
                                                 : records[i - 1].Name;
    if (offset < 0 || offset > std::numeric_limits<int64_t>::max() - start)
      Fail(name.empty() ? EntryLabel(i) : name, "its offset lies outside the archive");
    if (i > 0 && offset < previous)
      Fail(records[i - 1].Name.empty() ? EntryLabel(i - 1) : records[i - 1].Name, "its size is negative");
    if (i > 0) records[i - 1].Size = offset - previous;
    if (i < records.size()) records[i].Offset = offset + start;
    previous = offset;
  }
  FEndOffset = previous + start;
}

void TVrFileCollection::ReadTables(TTpBigStream& stream, std::vector<TIndexRecord>& records, int32_t version) {
  if (version < kArchiveSinceEntryTables) return;
  const auto n = static_cast<int64_t>(records.size());
  if (n * TableBytes(version) > stream.Remaining()) Fail({}, "the entry tables are cut short");
  std::vector<uint8_t> raw(static_cast<size_t>(n * TableBytes(version)));
  ReadExact(stream, raw.data(), static_cast<int64_t>(raw.size()));
  const uint8_t* stored = raw.data();
  const uint8_t* times = stored + n;
  const uint8_t* sums = times + 4 * n;
  const uint8_t* plain = sums + 4 * n;
  for (size_t i = 0; i < records.size(); ++i) {
    records[i].Stored = stored[i] != 0;
    records[i].Timestamp = Le32(times + 4 * i);
    records[i].Checksum = Le32(sums + 4 * i);
    records[i].ChecksumOfPlain = version >= kArchiveSincePlainChecksums && plain[i] != 0;
  }
}

}  // namespace kest
