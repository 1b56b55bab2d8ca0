#pragma once
// The versions of an archive's index, each named by what it brought. Version
// 0 has neither the "vf" nor a version number. The reader gates on these; the
// writer always writes the newest.

#include <cstdint>

namespace kest {

// Entry names and offsets are masked.
inline constexpr int32_t kArchiveSinceMasking = 100;
// Offsets widen from 4 bytes to 8.
inline constexpr int32_t kArchiveSinceWideOffsets = 101;
// The tables of stored flags, timestamps and checksums follow the offsets.
inline constexpr int32_t kArchiveSinceEntryTables = 101;
// A table of checksum-of-plain flags follows the checksums.
inline constexpr int32_t kArchiveSincePlainChecksums = 102;
inline constexpr int32_t kArchiveNewestVersion = kArchiveSincePlainChecksums;

}  // namespace kest
