#include "text/history/new_history.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "text/history/history_text.h"
#include "text/history/mes_data.h"
#include "text/history/story_pages.h"

namespace kest {

namespace {

int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

void WriteEntry(TStream& stream, const THistoryOldData& entry) {
  WriteStr(stream, entry.PageName);
  WriteInt(stream, entry.CommandIndex);
  WriteInt(stream, entry.ScreenIndex);
  WriteInt(stream, entry.Size.Width);
  WriteInt(stream, entry.Size.Height);
}

THistSize ReadSize(TStream& stream) {
  THistSize size;
  size.Width = ReadInt(stream);
  size.Height = ReadInt(stream);
  return size;
}

// Before 113 the entries are stored field by field; a name, two indices and
// a size take at least 20 bytes however they are arranged.
std::vector<THistoryOldData> ReadEntries(TStream& stream, int32_t version) {
  std::vector<THistoryOldData> entries(size_t(ReadRecordCount(stream, 20, "History entry")));
  if (version >= kSaveSinceHistoryLines) {
    for (THistoryOldData& e : entries) {
      e.PageName = ReadStr(stream);
      e.CommandIndex = ReadInt(stream);
      e.ScreenIndex = ReadInt(stream);
      e.Size = ReadSize(stream);
    }
    return entries;
  }
  for (THistoryOldData& e : entries) e.PageName = ReadStr(stream);
  for (THistoryOldData& e : entries) e.CommandIndex = ReadInt(stream);
  for (THistoryOldData& e : entries) e.ScreenIndex = ReadInt(stream);
  for (THistoryOldData& e : entries) e.Size = ReadSize(stream);
  return entries;
}

std::vector<TKestHistData> ReadPages(TStream& stream, int32_t version) {
  std::vector<TKestHistData> pages(size_t(ReadRecordCount(stream, 8, "History page")));
  for (TKestHistData& page : pages) page.LoadFromStream(stream, version);
  return pages;
}

// Applies the history's settings to its layout engine. The pages are made by
// the history itself, so the engine lays the whole range out as one page.
void ApplySettings(const THistorySettings& settings, TTpWord& word) {
  word.DefaultFontSize = settings.FontSize;
  word.DefaultBorderWidth = settings.BorderWidth;
  word.DefaultShadowOffset = settings.ShadowOffset;
  word.Width = settings.Width;
  word.VisibleHeight = settings.Height;
  word.LineSpacing = settings.LineSpace;
  word.Paging = false;
}

}  // namespace

void THistorySettings::SaveToStream(TStream& stream) const {
  for (int32_t v : {FontSize, BorderWidth, ShadowOffset, Width, Height, LineSpace}) WriteInt(stream, v);
}

void THistorySettings::LoadFromStream(TStream& stream) {
  RequireRemaining(stream, 24);
  for (int32_t* v : {&FontSize, &BorderWidth, &ShadowOffset, &Width, &Height, &LineSpace}) *v = ReadInt(stream);
}

std::optional<std::pair<int32_t, int32_t>> ClampShowRange(int32_t start, int32_t count, int32_t total) {
  start = std::max(start, 0);
  count = Saturate(std::min<int64_t>(count, int64_t(total) - start));
  if (count <= 0) return std::nullopt;
  return std::make_pair(start, count);
}

TKestNewHistory::TKestNewHistory(IStoryPages& story, IVarEvaluator& evaluator)
    : FStory(&story), FEvaluator(&evaluator) {}

int32_t TKestNewHistory::Count() const {
  if (!LineMode()) return Saturate(int64_t(Entries.size()));
  int64_t height = 0;
  for (const TKestHistData& page : Pages)
    for (const THistLine& line : page.Lines) height += line.LineHeight;
  return Saturate(height);
}

void TKestNewHistory::AddPending(const THistorySettings& format, const THistWindow& window, const std::string& page,
                                 const std::string& vars, int32_t screen, int32_t end, int32_t start, int32_t command) {
  PendingPage = page;
  PendingCommand = command;
  PendingStart = start;
  PendingEnd = end;
  PendingWindow = window.Name;
  PendingVars = vars;
  // Kept whatever the format: a format whose sample window had a font size
  // but no width still writes entries, and they need this screenful's own.
  PendingSize = {window.Width, window.Height};
  PendingScreen = screen;
  if (Pages.empty()) LayoutSettings = format;
}

void TKestNewHistory::Commit(std::string_view window) {
  if (PendingPage.empty() || PendingWindow != window) return;
  if (LineMode())
    CommitLines();
  else
    CommitEntry();
  PendingPage.clear();
}

void TKestNewHistory::CommitEntry() {
  AppendCompressed(Entries, THistoryOldData{PendingPage, PendingCommand, PendingScreen, PendingSize});
  TrimEntries();
}

void TKestNewHistory::CommitLines() {
  for (THistLine& line : LayOutPending()) AppendLine(std::move(line));
  TrimPages();
}

bool TKestNewHistory::LoadPendingCommand() {
  if (FLaidCommand == PendingCommand && SameName(FLaidPage, PendingPage)) return true;
  FLaidCommand = -1;
  FLayout.Clear();
  const std::optional<std::vector<uint8_t>> glyphs = FStory->TextCommand(PendingPage, PendingCommand);
  if (!glyphs) return false;
  TByteStream stream{std::span<const uint8_t>(*glyphs)};
  try {
    FLayout.LoadGlyphs(stream);
  } catch (const EReadError&) {
    // A text the script could not have shown leaves nothing to record.
    FLayout.Clear();
    return false;
  }
  FLaidPage = PendingPage;
  FLaidCommand = PendingCommand;
  return true;
}

std::vector<THistLine> TKestNewHistory::LayOutPending() {
  if (!FStory->Exists(PendingPage) || !LoadPendingCommand()) return {};
  ApplySettings(LayoutSettings, FLayout);
  // Positions are glyph indices while nothing is expanded.
  FLayout.RemoveExpansions(0, FLayout.Count() - 1);
  FLayout.VarValues() = SplitVarValues(PendingVars);
  FLayout.ExpandVariables(PendingStart, PendingEnd, true, *FEvaluator);
  const TGlyphRange range = GlyphRangeOfPositions(FLayout, PendingStart, PendingEnd);
  if (range.Last < range.First) return {};
  TWdPages pages;
  LayoutGlyphs(FLayout, pages, range.First, range.Last);
  return LinesOf(pages, range.First, range.Last);
}

// The lines cover the range without a gap, so the alignment and indentation
// changes between two rows stay with the text when a line is laid out again.
std::vector<THistLine> TKestNewHistory::LinesOf(const TWdPages& pages, int32_t first, int32_t last) const {
  std::unordered_map<const TWdGlyph*, int32_t> indexOf;
  std::vector<int32_t> positionAfter;  // of glyph first + k
  int32_t position = PositionOfGlyph(FLayout, first);
  for (int32_t i = first; i <= last; ++i) {
    const TWdGlyph* g = FLayout.Glyph(i);
    indexOf.emplace(g, i);
    if (!IsExpansionGlyph(*g)) ++position;
    positionAfter.push_back(position);
  }
  std::vector<THistLine> lines;
  int32_t next = std::max(PendingStart, 0);
  for (const auto& page : pages) {
    for (const auto& row : page->Rows) {
      int32_t lastGlyph = -1;
      for (const TWdGlyph* g : row->Glyphs)
        if (auto it = indexOf.find(g); it != indexOf.end()) lastGlyph = std::max(lastGlyph, it->second);
      if (lastGlyph < 0) continue;
      const int32_t end = positionAfter[size_t(lastGlyph - first)] - 1;
      lines.push_back(
          {PendingPage, PendingCommand, next, end, AddHeights(row->Height, LayoutSettings.LineSpace), PendingVars});
      next = std::max(next, end + 1);
    }
  }
  return lines;
}

void TKestNewHistory::AppendLine(THistLine line) {
  if (Pages.empty() || int64_t(Pages.back().TotalHeight) + line.LineHeight > LayoutSettings.Height)
    Pages.emplace_back();
  Pages.back().Add(std::move(line));
}

void TKestNewHistory::TrimEntries() {
  if (MaxCount <= 0 || Entries.size() <= size_t(MaxCount)) return;
  const size_t drop = Entries.size() - size_t(MaxCount);
  // Later entries leave a name out when it repeats, so the first kept one
  // must carry it.
  if (Entries[drop].PageName.empty()) Entries[drop].PageName = ResolvedName(Entries, drop);
  Entries.erase(Entries.begin(), Entries.begin() + std::ptrdiff_t(drop));
}

// Pages written by this history carry their name on the first line; older
// save data may not, so the name is handed over all the same.
void TKestNewHistory::TrimPages() {
  if (MaxCount <= 0 || Pages.size() <= size_t(MaxCount)) return;
  const size_t drop = Pages.size() - size_t(MaxCount);
  std::vector<THistLine>& kept = Pages[drop].Lines;
  for (size_t p = drop; !kept.empty() && kept.front().PageName.empty() && p-- > 0;)
    kept.front().PageName = ResolvedName(Pages[p].Lines, Pages[p].Lines.size());
  Pages.erase(Pages.begin(), Pages.begin() + std::ptrdiff_t(drop));
}

int32_t TKestNewHistory::Show(int32_t start, int32_t count, TKestNewMesData& data) const {
  data.Entries.clear();
  data.Lines.Clear();
  if (LineMode()) return ShowLines(start, count, data);
  ShowEntries(start, count, data);
  return 0;
}

// The first entry shown gets its name back: the window has none before it.
void TKestNewHistory::ShowEntries(int32_t start, int32_t count, TKestNewMesData& data) const {
  const int64_t stop = std::min<int64_t>(int64_t(start) + count, int64_t(Entries.size()));
  for (int64_t i = std::max(start, 0); i < stop; ++i) {
    THistoryOldData entry = Entries[size_t(i)];
    entry.PageName = ResolvedName(Entries, size_t(i));
    AppendCompressed(data.Entries, std::move(entry));
  }
}

int32_t TKestNewHistory::ShowLines(int32_t start, int32_t count, TKestNewMesData& data) const {
  const int64_t bottomEdge = int64_t(start) + count;
  int64_t top = 0;
  int32_t offset = 0;
  bool started = false;
  std::string name;
  for (const TKestHistData& page : Pages) {
    for (const THistLine& line : page.Lines) {
      if (!line.PageName.empty()) name = line.PageName;
      const int64_t bottom = top + line.LineHeight;
      if (!started && bottom > start) {
        started = true;
        offset = Saturate(top - start);
      }
      if (started) {
        THistLine shown = line;
        shown.PageName = name;
        data.Lines.Add(std::move(shown));
        if (bottom >= bottomEdge) return offset;
      }
      top = bottom;
    }
  }
  return offset;
}

void TKestNewHistory::Clear() {
  Entries.clear();
  Pages.clear();
}

void TKestNewHistory::SaveToStream(TStream& stream) const {
  WriteInt(stream, static_cast<int32_t>(Entries.size()));
  for (const THistoryOldData& entry : Entries) WriteEntry(stream, entry);
  WriteStr(stream, PendingPage);
  WriteInt(stream, PendingCommand);
  WriteInt(stream, PendingScreen);
  WriteInt(stream, PendingSize.Width);
  WriteInt(stream, PendingSize.Height);
  WriteStr(stream, PendingWindow);
  WriteInt(stream, MaxCount);
  LayoutSettings.SaveToStream(stream);
  WriteInt(stream, PendingStart);
  WriteInt(stream, PendingEnd);
  WriteInt(stream, static_cast<int32_t>(Pages.size()));
  for (const TKestHistData& page : Pages) page.SaveToStream(stream);
  WriteStr(stream, PendingVars);
}

// What older data does not store keeps its value.
void TKestNewHistory::LoadFromStream(TStream& stream, int32_t version) {
  THistoryRecords r;
  r.MaxCount = MaxCount;
  r.LayoutSettings = LayoutSettings;
  try {
    if (version < kSaveSinceHistoryLines) ReadStr(stream);
    r.Entries = ReadEntries(stream, version);
    r.PendingPage = ReadStr(stream);
    r.PendingCommand = ReadInt(stream);
    r.PendingScreen = ReadInt(stream);
    r.PendingSize = ReadSize(stream);
    r.PendingWindow = ReadStr(stream);
    if (version >= kSaveSinceHistoryLines) {
      r.MaxCount = ReadInt(stream);
      r.LayoutSettings.LoadFromStream(stream);
      r.PendingStart = ReadInt(stream);
      r.PendingEnd = ReadInt(stream);
      r.Pages = ReadPages(stream, version);
    }
    if (version >= kSaveSinceHistoryVars) r.PendingVars = ReadStr(stream);
  } catch (const EReadError& e) {
    throw EReadError(std::string("History record: ") + e.what());
  }
  static_cast<THistoryRecords&>(*this) = std::move(r);
}

}  // namespace kest
