#pragma once
// The records a history keeps. None holds text: each points back into the
// script (page file, text command, screenful or text positions), and a name
// equal to the one before it is stored empty.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/sjis.h"

namespace kest {

class TStream;

// Save-data versions of the history records (see common/save_versions.h for
// the rest): from 113 entries are stored record by record and line-mode pages,
// MaxCount and the layout settings follow; from 124 lines and the pending
// record keep their variable values.
inline constexpr int32_t kSaveSinceHistoryLines = 113;
inline constexpr int32_t kSaveSinceHistoryVars = 124;

// Reads a count and raises EReadError unless that many items of at least
// itemBytes each can still follow.
int32_t ReadRecordCount(TStream& stream, int64_t itemBytes, std::string_view what);

struct THistSize {
  int32_t Width = 0, Height = 0;
  bool operator==(const THistSize&) const = default;
};

// One entry-mode record: a screenful and the size of the window it filled.
struct THistoryOldData {
  std::string PageName;  // empty: that of the record before
  int32_t CommandIndex = 0;
  int32_t ScreenIndex = 0;
  THistSize Size;
  bool operator==(const THistoryOldData&) const = default;
};

// One laid-out line of a line-mode history.
struct THistLine {
  std::string PageName;  // empty: that of the line before on the same page
  int32_t CommandIndex = 0;
  int32_t StartPos = 0, EndPos = 0;
  int32_t LineHeight = 0;  // with the line spacing
  std::string VarValues;
  bool operator==(const THistLine&) const = default;
};

// The name of record i: the last non-empty one at or before it.
template <class TRecord>
std::string ResolvedName(const std::vector<TRecord>& records, size_t i) {
  for (size_t k = std::min(i + 1, records.size()); k-- > 0;)
    if (!records[k].PageName.empty()) return records[k].PageName;
  return {};
}

// Stores the name empty when it is the one the records already end with.
template <class TRecord>
void AppendCompressed(std::vector<TRecord>& records, TRecord record) {
  if (!records.empty() && SameName(record.PageName, ResolvedName(records, records.size() - 1))) record.PageName.clear();
  records.push_back(std::move(record));
}

// A line-mode page: the lines that fit in the layout height. The first line
// always carries its name, so a page stands on its own when older pages go.
class TKestHistData {
 public:
  std::vector<THistLine> Lines;
  int32_t TotalHeight = 0;

  void Add(THistLine line);
  void Clear();
  bool operator==(const TKestHistData&) const = default;

  void SaveToStream(TStream& stream) const;
  void LoadFromStream(TStream& stream, int32_t version);
};

// Sums without overflowing, for heights that come from stored data.
int32_t AddHeights(int32_t a, int32_t b);

}  // namespace kest
