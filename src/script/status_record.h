#pragma once
// The status record, entry "STATUSSAVEDATA" of the save file: the data that
// every game of a title shares. "Status" and the version in three digits
// (103 written; a record without the header is version 0), then the status
// variables, the read marks, the image cache's part and, from version 103,
// the status tables. The versions are named in status_record_versions.h.

#include <cstdint>

#include "script/status_record_versions.h"

namespace kest {

class IStatusPart;
class TParamCollection;
class TStream;

class TStatusRecord {
 public:
  static constexpr int32_t kWrittenVersion = kStatusNewestVersion;

  // The parts are not owned and must outlive the record.
  TStatusRecord(TParamCollection& vars, IStatusPart& readList, IStatusPart& imageCache, IStatusPart& tables)
      : FVars(vars), FReadList(readList), FImageCache(imageCache), FTables(tables) {}

  void SaveToStream(TStream& stream) const;
  // Restores every part from the stream's position; the version read.
  int32_t LoadFromStream(TStream& stream);

  // The version a header gives: the digits behind "Status" (0 when they are
  // not a number). A stream without the header is left where it was and is
  // version 0.
  static int32_t ReadHeader(TStream& stream);

 private:
  TParamCollection& FVars;
  IStatusPart& FReadList;
  IStatusPart& FImageCache;
  IStatusPart& FTables;
};

}  // namespace kest
