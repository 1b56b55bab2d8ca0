#include "text/history/hist_data.h"

#include <algorithm>
#include <limits>

#include "common/errors.h"
#include "common/stream.h"

namespace kest {

int32_t ReadRecordCount(TStream& stream, int64_t itemBytes, std::string_view what) {
  const int32_t count = ReadInt(stream);
  if (count < 0 || int64_t(count) * std::max<int64_t>(itemBytes, 1) > stream.Remaining())
    throw EReadError(std::string(what) + " count " + std::to_string(count) + " does not fit the data left");
  return count;
}

int32_t AddHeights(int32_t a, int32_t b) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(int64_t(a) + b, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

void TKestHistData::Add(THistLine line) {
  TotalHeight = AddHeights(TotalHeight, line.LineHeight);
  AppendCompressed(Lines, std::move(line));
}

void TKestHistData::Clear() {
  Lines.clear();
  TotalHeight = 0;
}

void TKestHistData::SaveToStream(TStream& stream) const {
  WriteInt(stream, static_cast<int32_t>(Lines.size()));
  for (const THistLine& line : Lines) {
    WriteStr(stream, line.PageName);
    WriteInt(stream, line.CommandIndex);
    WriteInt(stream, line.StartPos);
    WriteInt(stream, line.EndPos);
    WriteInt(stream, line.LineHeight);
    WriteStr(stream, line.VarValues);
  }
  WriteInt(stream, TotalHeight);
}

void TKestHistData::LoadFromStream(TStream& stream, int32_t version) {
  const bool vars = version >= kSaveSinceHistoryVars;
  const int32_t count = ReadRecordCount(stream, vars ? 24 : 20, "History line");
  std::vector<THistLine> lines(static_cast<size_t>(count));
  for (THistLine& line : lines) {
    line.PageName = ReadStr(stream);
    line.CommandIndex = ReadInt(stream);
    line.StartPos = ReadInt(stream);
    line.EndPos = ReadInt(stream);
    line.LineHeight = ReadInt(stream);
    if (vars) line.VarValues = ReadStr(stream);
  }
  const int32_t total = ReadInt(stream);
  Lines = std::move(lines);
  TotalHeight = total;
}

}  // namespace kest
