#pragma once
// What a message window shows while it is in history mode, and the loaded
// texts it lays that history out from again.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "text/history/hist_data.h"
#include "text/tp_word.h"

namespace kest {

class IStoryPages;
class TStream;

// One shown record with its page name resolved. Entries have a screen and no
// positions (Start 0, End -1); lines have positions and no screen (-1).
struct TMesDataRecord {
  std::string Page;
  int32_t Command = 0;
  int32_t Screen = -1;
  int32_t Start = 0, End = -1;
  std::string VarValues;
  int32_t Line = -1;  // its index in the lines, -1 for an entry
};

// One text command's loaded engine.
struct TMesDataCacheWord {
  int32_t CommandIndex = 0;
  TTpWord Word;
};

// The commands of one page, most recently used first.
struct TMesDataCache {
  std::string PageName;
  std::vector<std::unique_ptr<TMesDataCacheWord>> Words;
};

enum class TMesDataLookup { Found, NotText, PageGone };

// The pages a window showed history from, most recently used first.
class TMesDataCacheList {
 public:
  static constexpr size_t kMaxPages = 4;
  static constexpr size_t kMaxWords = 16;

  // An engine holding the record's command as loaded (nothing expanded) and
  // the record's variable values; it stays valid until the next lookup.
  // Null with the reason when there is none.
  TTpWord* Word(IStoryPages& story, const TMesDataRecord& record, TMesDataLookup& status);
  void Clear() { FPages.clear(); }
  const std::vector<std::unique_ptr<TMesDataCache>>& Pages() const { return FPages; }

 private:
  TMesDataCache* Page(IStoryPages& story, const std::string& name);
  TMesDataCacheWord* Command(IStoryPages& story, TMesDataCache& page, int32_t command);

  std::vector<std::unique_ptr<TMesDataCache>> FPages;
};

class TKestNewMesData {
 public:
  // Entry mode: the screenfuls (PageNames, CommandIndices, ScreenIndices,
  // Sizes). Line mode: the lines.
  std::vector<THistoryOldData> Entries;
  TKestHistData Lines;
  TMesDataCacheList Cache;

  void Clear();
  // The entries, then the lines, with their names resolved.
  std::vector<TMesDataRecord> Records() const;
  // Hands every record that still names a text command its loaded engine, in
  // order; a page that has gone from the game data ends the walk. The answer
  // is the number of records walked past.
  using TRebuildVisitor = std::function<void(const TMesDataRecord& record, TTpWord& word)>;
  size_t Rebuild(IStoryPages& story, const TRebuildVisitor& visit);

  void SaveToStream(TStream& stream) const;
  void LoadFromStream(TStream& stream, int32_t version);
};

}  // namespace kest
