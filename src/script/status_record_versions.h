#pragma once
// The versions of the status record, each named by what it brought. Every
// status part receives the record's version and gates on these; the writer
// always writes the newest.

#include <cstdint>

namespace kest {

inline constexpr int32_t kStatusSinceReadMarks = 100;
inline constexpr int32_t kStatusSinceImageCacheState = 101;
inline constexpr int32_t kStatusSinceTables = 103;
inline constexpr int32_t kStatusNewestVersion = kStatusSinceTables;

}  // namespace kest
