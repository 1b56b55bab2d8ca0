#pragma once
// One history: the screenfuls the message windows showed, kept as entries
// (one per screenful) or, when the history has a layout width, as lines laid
// out again at that width and grouped into pages of the layout height. A
// screenful waits as the pending record until its window moves on, so that
// only what was actually read is written out.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/history/hist_data.h"
#include "text/text_layout.h"
#include "text/tp_word.h"

namespace kest {

class IStoryPages;
class IVarEvaluator;
class TKestNewMesData;
class TStream;

// The layout settings a history format takes from its sample window.
struct THistorySettings {
  int32_t FontSize = 0, BorderWidth = 0, ShadowOffset = 0;
  int32_t Width = 0, Height = 0, LineSpace = 0;
  bool operator==(const THistorySettings&) const = default;

  void SaveToStream(TStream& stream) const;
  void LoadFromStream(TStream& stream);
};

// The message window a screenful came from.
struct THistWindow {
  std::string Name;
  int32_t Width = 0, Height = 0;
};

// What a history stores, apart from the engine it lays lines out with.
struct THistoryRecords {
  THistorySettings LayoutSettings;
  std::vector<THistoryOldData> Entries;  // oldest first
  std::vector<TKestHistData> Pages;      // oldest first
  int32_t MaxCount = 0;                  // entries or pages; 0 or less: no limit

  std::string PendingPage;  // empty: nothing pending
  int32_t PendingCommand = 0;
  int32_t PendingScreen = 0;
  THistSize PendingSize;
  std::string PendingWindow;
  int32_t PendingStart = 0, PendingEnd = 0;
  std::string PendingVars;
};

// CallHist's range rule: start no less than 0, count no more than what is
// left after start; nothing when no count remains.
std::optional<std::pair<int32_t, int32_t>> ClampShowRange(int32_t start, int32_t count, int32_t total);

class TKestNewHistory : public THistoryRecords {
 public:
  TKestNewHistory(IStoryPages& story, IVarEvaluator& evaluator);
  TKestNewHistory(const TKestNewHistory&) = delete;
  TKestNewHistory& operator=(const TKestNewHistory&) = delete;

  bool LineMode() const { return LayoutSettings.Width != 0; }
  // Entries, or in line mode the height of every stored line in pixels.
  int32_t Count() const;

  void AddPending(const THistorySettings& format, const THistWindow& window, const std::string& page,
                  const std::string& vars, int32_t screen, int32_t end, int32_t start, int32_t command);
  // Writes out the pending record when the window is the one that left it.
  void Commit(std::string_view window);
  // Fills the window's data with entries start..start+count-1, or with the
  // lines covering that pixel range; the answer is the first line's top
  // relative to start (0 or less), by which the window scrolls.
  int32_t Show(int32_t start, int32_t count, TKestNewMesData& data) const;
  // Forgets the records; a screenful still pending is written out later.
  void Clear();

  void SaveToStream(TStream& stream) const;
  void LoadFromStream(TStream& stream, int32_t version);

 private:
  void CommitEntry();
  void CommitLines();
  bool LoadPendingCommand();
  std::vector<THistLine> LayOutPending();
  std::vector<THistLine> LinesOf(const TWdPages& pages, int32_t first, int32_t last) const;
  void AppendLine(THistLine line);
  void TrimEntries();
  void TrimPages();
  int32_t ShowLines(int32_t start, int32_t count, TKestNewMesData& data) const;
  void ShowEntries(int32_t start, int32_t count, TKestNewMesData& data) const;

  IStoryPages* FStory;
  IVarEvaluator* FEvaluator;
  TTpWord FLayout;
  // The command FLayout holds, so that the screenfuls of one text load it once.
  std::string FLaidPage;
  int32_t FLaidCommand = -1;
};

}  // namespace kest
