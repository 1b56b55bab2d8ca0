#pragma once
// One archive in memory: the index of its named entries and the open stream
// that holds their bytes. It mounts an archive from a file, from a data file
// whose index lies in a companion ".ext" file, from behind a program, or from
// a program resource; it extracts entries, opens them as streams for
// playback, lists folders, and writes whole archives.
//
// Layout of an archive at its start A (all integers little-endian):
//   "vf", 4-byte version (102 written), 4-byte count N,
//   N names (4-byte length, masked bytes), N + 1 masked 8-byte offsets from A
//   (the last one is the end of the data), N stored flags, N timestamps,
//   N checksums, N checksum-of-plain flags, then the entries' bytes.
// Version 0 has no "vf" and no version; versions below 101 have 4-byte
// offsets and no tables (every entry is zlib); below 100 nothing is masked.
// The versions are named in vr_file_collection_versions.h.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/hash_collection.h"
#include "storage/big_file_stream.h"
#include "storage/big_memory_stream.h"
#include "storage/host_name_resolver.h"
#include "storage/range_stream.h"
#include "storage/vr_file.h"
#include "storage/vr_file_collection_versions.h"

namespace kest {

class TVrFileCollection : public TTypedHashCollection<TVrFile> {
 public:
  static constexpr int32_t kWrittenVersion = kArchiveNewestVersion;
  // Entries above this many bytes are stored rather than compressed.
  static constexpr int64_t kCompressLimit = 5242879;

  // Archive files continue in segments of this size (tests use small ones).
  explicit TVrFileCollection(int64_t segmentSize = TTpBigFileStream::kDefaultSegmentSize);
  ~TVrFileCollection() override;

  // Mounts the archive in file_name (a host path): behind a program when its
  // trailer says so, else with its index in the companion ".ext" file when
  // one exists (its name matched ignoring case), else from the file's start. A program without a sound trailer
  // mounts nothing. A missing file gives a collection of its folder only.
  // Raises EReadError naming the archive (and the entry) on a damaged index.
  void Open(const std::string& fileName, bool asFolder = false);
  // Mounts the archive in a resource of a program file. A program that cannot
  // be read gives an empty collection; a missing or empty resource raises
  // "リソースが見つかりません".
  void OpenResource(const std::string& moduleFileName, std::string_view resourceName = "DUMMY",
                    std::string_view resourceType = "BINTYPE");
  // Mounts an archive held in a stream, from its position. display_name names
  // it in error messages.
  void OpenStream(std::unique_ptr<TTpBigStream> stream, const std::string& displayName);
  // Reads the index at the stream's position (the archive start A), adding
  // one entry per name; offsets become absolute (+ A). The whole index is
  // checked before any entry is added.
  void ReadIndex(TTpBigStream& stream);

  // The entry's data, inflated, into target, which is then rewound (a memory
  // target is emptied first). An entry that is not in the archive comes from
  // the base folder, never from outside it. Raises "%s:ファイルがありません" when neither has it, and
  // EReadError naming the archive and the entry for damaged data.
  void Extract(TStream& target, std::string_view name);
  // The data of this very entry (of several with one name, any of them),
  // inflated, appended to out.
  void ExtractEntry(const TVrFile& entry, TTpBigMemoryStream& out);
  // A read-only stream over the entry's data, or nothing when the name is not
  // in the archive. A stored entry of a file or resource archive streams from
  // there; any other entry is inflated (or copied) into memory first.
  std::unique_ptr<TRangeStream> OpenRange(std::string_view name);

  TVrFile* AddFile(std::string_view name);
  TVrFile* AddMemoryFile(std::string_view name);
  void DeleteFile(std::string_view name);
  // Adds to list the entries whose folder part equals folder ignoring case,
  // skipping names the list already holds.
  void ListFolder(std::string_view folder, std::vector<std::string>& list) const;

  // Writes the whole archive at the target's position. An entry's bytes come
  // from its content, else from the base folder, else from this archive,
  // where they are copied as stored, with their flags and checksum. On a
  // failing entry OnWriteError hears "エラー:" + name and the error passes on.
  bool WriteArchive(TTpBigStream& target);

  // The entry of that name, last added first; the end sentinel is never found.
  TVrFile* FindEntry(std::string_view name) const;
  // The checksum of an entry as its flag says it was made: over the inflated
  // data or over the stored bytes.
  uint32_t ComputeChecksum(const TVrFile& entry);
  // Whether the mounted index carries checksums (version 101 and later).
  bool HasChecksums() const { return FVersion >= kArchiveSinceEntryTables; }

  void SetBaseFolder(std::string folder);
  const std::string& BaseFolder() const { return FBaseFolder; }
  const std::string& ArchiveFileName() const { return FArchiveFileName; }
  bool IsResource() const { return !FResourceName.empty(); }
  int32_t Version() const { return FVersion; }
  // Absolute end of the entries' data (what the sentinel "\EOF\" marks).
  int64_t EndOffset() const { return FEndOffset; }
  TTpBigStream* ArchiveStream() const { return FArchive.get(); }

  std::function<void(const std::string& message)> OnWriteError;

 private:
  struct TIndexRecord;
  struct TEntryWritten;

  void Reset();
  void ReadNames(TTpBigStream& stream, std::vector<TIndexRecord>& records, bool masked);
  void ReadOffsets(TTpBigStream& stream, std::vector<TIndexRecord>& records, int32_t version, int64_t start);
  void ReadTables(TTpBigStream& stream, std::vector<TIndexRecord>& records, int32_t version);
  // The entry's plain data appended to out.
  void ReadEntry(const TVrFile& entry, TTpBigMemoryStream& out);
  void ReadStoredBytes(const TVrFile& entry, TTpBigMemoryStream& out);
  bool ExtractFromFolder(TTpBigMemoryStream& out, std::string_view name);
  TEntryWritten WriteEntry(TVrFile& entry, TTpBigStream& target);
  TEntryWritten CopyFromArchive(const TVrFile& entry, TTpBigStream& target);
  TEntryWritten WriteFromFolder(const std::string& path, std::string_view name, bool plainChecksum,
                                TTpBigStream& target);
  [[noreturn]] void Fail(std::string_view entry, const std::string& problem) const;
  std::string ArchiveDisplayName() const;

  int64_t FSegmentSize;
  std::string FBaseFolder;
  THostNameResolver FResolver;
  std::string FArchiveFileName;
  std::unique_ptr<TTpBigStream> FArchive;
  // How a range over the archive file is opened: segmented or not.
  int64_t FArchiveSegmentSize = 0;
  std::string FResourceName;
  std::string FResourceType;
  std::string FDisplayName;
  int32_t FVersion = 0;
  int64_t FEndOffset = 0;
  // The stored bytes of the entry being inflated, kept between extractions so
  // that reading an archive through does not allocate for every entry.
  TTpBigMemoryStream FPacked;
};

}  // namespace kest
