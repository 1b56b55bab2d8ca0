// Writing a whole archive, and the rules for which entries are worth
// compressing: media are stored so they can stream straight out of the
// archive, large files are stored so that reading them needs no second copy
// in memory, and a file that shrinks by less than a tenth is stored as well.
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <memory>

#include "common/errors.h"
#include "common/sjis.h"
#include "storage/archive_mask.h"
#include "storage/archive_paths.h"
#include "storage/vr_file_collection.h"
#include "storage/zlib_codec.h"

namespace kest {

struct TVrFileCollection::TEntryWritten {
  bool Stored;
  uint32_t Checksum;
  uint32_t Timestamp;
};

namespace {

// A substring test on purpose: ".MPE" and ".W" are found in it as well.
constexpr std::string_view kMediaExtensions = ".WAV.WMA.OGG.AVI.MPG.MPEG.M1V.WMV.ASF.DAT.";
constexpr int64_t kFolderCompressLimit = 5242880;
constexpr std::string_view kSentinelName = "\\EOF\\";
// The first picture version whose header carries the compression field.
constexpr int kPexaSinceCompression = 103;

void WriteBytes(TStream& target, std::span<const uint8_t> bytes) {
  WriteExact(target, bytes.data(), static_cast<int64_t>(bytes.size()));
}

uint32_t DosDateTime(time_t when) {
  tm t{};
  if (!localtime_r(&when, &t) || t.tm_year < 80) return (1u << 21) | (1u << 16);
  return static_cast<uint32_t>(t.tm_year - 80) << 25 | static_cast<uint32_t>(t.tm_mon + 1) << 21 |
         static_cast<uint32_t>(t.tm_mday) << 16 | static_cast<uint32_t>(t.tm_hour) << 11 |
         static_cast<uint32_t>(t.tm_min) << 5 | static_cast<uint32_t>(t.tm_sec / 2);
}

// A picture is worth compressing only when its header says its pixel data is
// stored raw (compression field 1, in pictures of version 103 and later):
// zlib and JPEG data do not shrink again.
bool PexaIsRaw(TStream& file) {
  uint8_t head[34];
  file.Seek(0);
  const bool whole = file.Read(head, sizeof head) == sizeof head;
  file.Seek(0);
  if (!whole || head[0] != 'P' || head[1] != 'e' || head[2] != 'x' || head[3] != 'a') return false;
  int version = 0;
  for (int i = 4; i < 7; ++i) {
    if (head[i] < '0' || head[i] > '9') return false;
    version = version * 10 + (head[i] - '0');
  }
  const int32_t header_size = static_cast<int32_t>(head[7] | head[8] << 8 | head[9] << 16 | head[10] << 24);
  return version >= kPexaSinceCompression && header_size > 22 && head[11 + 22] == 1;
}

bool WorthCompressing(std::string_view name, TStream& file) {
  const std::string ext = UpperName(ExtensionPart(name));
  if (ext == ".PXA") return PexaIsRaw(file);
  if (!ext.empty() && kMediaExtensions.find(ext) != std::string_view::npos) return false;
  return file.Size() < kFolderCompressLimit;
}

constexpr int64_t kPiece = 1 << 20;

// A stored file is copied piece by piece, so a movie never sits in memory whole.
uint32_t CopyStored(TStream& file, TStream& target) {
  const auto buffer = std::make_unique<uint8_t[]>(kPiece);
  uint32_t crc = Crc32({});
  file.Seek(0);
  for (;;) {
    const int64_t got = file.Read(buffer.get(), kPiece);
    if (got <= 0) break;
    const std::span<const uint8_t> piece(buffer.get(), static_cast<size_t>(got));
    crc = Crc32(piece, crc);
    WriteBytes(target, piece);
  }
  return crc;
}

}  // namespace

bool TVrFileCollection::WriteArchive(TTpBigStream& target) {
  std::vector<TVrFile*> entries;
  for (int32_t i = 0; i < Count(); ++i)
    if (!SameName((*this)[i]->Name(), kSentinelName)) entries.push_back((*this)[i]);
  const auto n = static_cast<int32_t>(entries.size());
  const int64_t start = target.Position();

  TTpBigMemoryStream header;
  WriteExact(header, "vf", 2);
  WriteInt(header, kWrittenVersion);
  WriteInt(header, n);
  TArchiveMask name_mask;
  for (const TVrFile* entry : entries) {
    std::string name = entry->Name();
    name_mask.MaskName(name);
    WriteStr(header, name);
  }
  WriteBytes(target, header.Data());
  const int64_t tables_at = target.Position();
  const std::vector<uint8_t> zeros(static_cast<size_t>((n + int64_t{1}) * 8 + int64_t{n} * 10), 0);
  WriteBytes(target, zeros);

  std::vector<int64_t> offsets(static_cast<size_t>(n) + 1);
  std::vector<TEntryWritten> written;
  written.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    offsets[i] = target.Position() - start;
    try {
      written.push_back(WriteEntry(*entries[i], target));
    } catch (...) {
      if (OnWriteError) OnWriteError(Utf8ToCp932("エラー:") + entries[i]->Name());
      throw;
    }
  }
  const int64_t end = target.Position();
  offsets[entries.size()] = end - start;

  TTpBigMemoryStream tables;
  TArchiveMask offset_mask;
  for (const int64_t offset : offsets) WriteInt64(tables, offset_mask.MaskOffset64(offset));
  for (const TEntryWritten& w : written) WriteFlag(tables, w.Stored);
  for (const TEntryWritten& w : written) WriteInt(tables, static_cast<int32_t>(w.Timestamp));
  for (const TEntryWritten& w : written) WriteInt(tables, static_cast<int32_t>(w.Checksum));
  for (const TVrFile* entry : entries) WriteFlag(tables, entry->ChecksumOfPlain);
  target.Seek(tables_at);
  WriteBytes(target, tables.Data());
  target.Seek(end);
  return true;
}

TVrFileCollection::TEntryWritten TVrFileCollection::WriteEntry(TVrFile& entry, TTpBigStream& target) {
  if (entry.Content) {
    const auto plain = entry.Content->Data();
    if (static_cast<int64_t>(plain.size()) > kCompressLimit) {
      WriteBytes(target, plain);
      return {true, Crc32(plain), entry.Timestamp};
    }
    const std::vector<uint8_t> packed = ZlibCompress(plain);
    WriteBytes(target, packed);
    return {false, Crc32(entry.ChecksumOfPlain ? plain : std::span<const uint8_t>(packed)), entry.Timestamp};
  }
  if (const auto path = FResolver.FindFile(FBaseFolder, entry.Name())) {
    return WriteFromFolder(*path, entry.Name(), entry.ChecksumOfPlain, target);
  }
  if (entry.InArchive && FArchive) return CopyFromArchive(entry, target);
  TTpBigMemoryStream plain;
  Extract(plain, entry.Name());
  if (plain.Size() > kCompressLimit) {
    WriteBytes(target, plain.Data());
    return {true, Crc32(plain.Data()), entry.Timestamp};
  }
  const std::vector<uint8_t> packed = ZlibCompress(plain.Data());
  WriteBytes(target, packed);
  return {false, Crc32(entry.ChecksumOfPlain ? plain.Data() : std::span<const uint8_t>(packed)), entry.Timestamp};
}

// An entry of the mounted archive goes across as its stored bytes with its
// flags and checksum, never inflated again: an entry damaged on disk reaches
// the new archive exactly as it was and keeps every other entry writable.
TVrFileCollection::TEntryWritten TVrFileCollection::CopyFromArchive(const TVrFile& entry, TTpBigStream& target) {
  const int64_t size = FArchive->Size();
  if (entry.Offset < 0 || entry.Size < 0 || entry.Offset > size || entry.Size > size - entry.Offset)
    Fail(entry.Name(), "its data lies outside the archive");
  const auto buffer = std::make_unique<uint8_t[]>(static_cast<size_t>(std::min(entry.Size, kPiece)));
  uint32_t crc = Crc32({});
  FArchive->Seek(entry.Offset);
  for (int64_t left = entry.Size; left > 0;) {
    const int64_t want = std::min(left, kPiece);
    if (FArchive->Read(buffer.get(), want) != want) Fail(entry.Name(), "its data is cut short");
    const std::span<const uint8_t> piece(buffer.get(), static_cast<size_t>(want));
    crc = Crc32(piece, crc);
    WriteBytes(target, piece);
    left -= want;
  }
  // Indexes before the checksum tables carry none, and all their entries
  // are compressed with the checksum over the stored bytes.
  return {entry.Stored, HasChecksums() ? entry.Checksum : crc, entry.Timestamp};
}

TVrFileCollection::TEntryWritten TVrFileCollection::WriteFromFolder(const std::string& path, std::string_view name,
                                                                    bool plainChecksum, TTpBigStream& target) {
  struct stat st {};
  const uint32_t timestamp = stat(path.c_str(), &st) == 0 ? DosDateTime(st.st_mtime) : 0;
  TTpBigFileStream file(path, big_file_mode::kOpenRead | big_file_mode::kShareDenyWrite, TTpBigFileStream::kSingleFile);
  if (!WorthCompressing(name, file)) return {true, CopyStored(file, target), timestamp};
  TTpBigMemoryStream plain;
  plain.CopyFromStream(file, 0);
  const std::vector<uint8_t> packed = ZlibCompress(plain.Data());
  if (static_cast<int64_t>(packed.size()) > plain.Size() * 9 / 10) {
    WriteBytes(target, plain.Data());
    return {true, Crc32(plain.Data()), timestamp};
  }
  WriteBytes(target, packed);
  return {false, Crc32(plainChecksum ? plain.Data() : std::span<const uint8_t>(packed)), timestamp};
}

}  // namespace kest
