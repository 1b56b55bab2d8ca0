// The message window's side of the story records: what it hands the
// histories and read marks, the text built again from its display source
// (a script text command, or the history being shown), and its state record.
#include <algorithm>
#include <climits>

#include "common/errors.h"
#include "common/save_versions.h"
#include "common/stream.h"
#include "scene/components/kest_mes.h"
#include "scene/kest_base_list.h"
#include "text/history/history_text.h"
#include "text/text_records.h"
#include "text/var_evaluator.h"

namespace kest {

namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

// A history entry is one screenful as its window laid it out: the command is
// laid out again at that window's size with this window's font settings.
void TakeLayoutSettings(const TTpWord& from, TTpWord& to, int32_t width, int32_t height) {
  to.DefaultFontName = from.DefaultFontName;
  to.DefaultFontSize = from.DefaultFontSize;
  to.DefaultBorderWidth = from.DefaultBorderWidth;
  to.DefaultShadowOffset = from.DefaultShadowOffset;
  to.LineSpacing = from.LineSpacing;
  to.Width = width;
  to.VisibleHeight = height;
  to.Paging = true;
}

// A screenful or line shown in a history ends where the history says: the
// CLEAR that ended it on its own page would cut the history's pages too.
void DropClears(TTpWord& word, int32_t from) {
  for (int32_t i = from; i < word.Count(); ++i)
    if (TWdGlyph* g = word.Glyph(i); g->Kind() == TGlyphKind::Return) static_cast<TWdOpeReturn*>(g)->Clear = false;
}

}  // namespace

std::pair<int32_t, int32_t> TKestMes::GlyphSpan(int32_t index) const {
  // A page ends with the last engine glyph it placed; the glyphs between two
  // pages (alignment changes) belong to the later one.
  auto lastOf = [this](int32_t p) {
    int32_t last = -1;
    for (const auto& row : FPages[size_t(p)]->Rows)
      for (const TWdGlyph* g : row->Glyphs)
        if (g != row->Space.get()) last = std::max(last, FEngine.IndexOf(g));
    return last;
  };
  const int32_t first = index > 0 ? lastOf(index - 1) + 1 : 0;
  return {first, std::max(lastOf(index), first - 1)};
}

void TKestMes::RecordPage(int32_t index) {
  if (FRecordState != 1 || FSourcePage.empty()) return;
  const auto [first, last] = GlyphSpan(index);
  std::vector<std::string> values;
  if (last >= first) FEngine.SaveVarValues(first, last, values);
  // Positions count the glyphs the command's text was loaded with.
  const int32_t start = PositionOfGlyph(FEngine, first);
  const int32_t end = PositionOfGlyph(FEngine, last + 1) - 1;
  TStoryRecords& story = Scene().Story();
  story.History.AddPending({Name(), Width(), Height()}, FSourcePage, JoinLines(values), index, end, start,
                           FSourceCommand);
  story.ReadList.SetPending(Name(), FSourcePage, index, FSourceCommand);
}

void TKestMes::ResetPages() {
  FPages.clear();
  FPageIndex = -1;
  FLineGlyphs.clear();
  FEngine.Clear();
  PrepareEngine();
}

void TKestMes::ReloadText(bool announce, bool asHistory) {
  Invalidate();
  FRawText.clear();
  Scene().Story().History.Commit(Name());
  if (FRecordState == 1 && CurrentPage()) RecordPage(FPageIndex);
  ResetPages();
  Rebuild(asHistory);
  if (FPages.empty()) return;
  if (announce) AnnouncePage();
  FPrepare = FReset = true;
}

void TKestMes::RebuildRestored() {
  Invalidate();
  FRawText.clear();
  ResetPages();
  Rebuild(FRecordState == 2);
  FPrepare = FReset = !FPages.empty();
}

void TKestMes::Rebuild(bool asHistory) {
  FSource.Rebuild(Scene().Story().Pages(), [&](const TMesDataRecord& record, TTpWord& word) {
    if (record.Screen >= 0)
      CopyEntry(record, word, asHistory);
    else
      CopyRecord(record, word, asHistory);
  });
  if (FEngine.Count() == 0) return;
  LayoutGlyphs(FEngine, FPages);
  if (!FPages.empty() && FHistoryOffset < 0) FPages[0]->ScrollOffset = -FHistoryOffset;
}

void TKestMes::CopyRange(TTpWord& word, int32_t first, int32_t last, const std::string& vars, bool asHistory) {
  if (last < first) return;
  const int32_t from = FEngine.Count();
  FEngine.CopyGlyphs(word, first, last);
  FEngine.VarValues() = SplitVarValues(vars);
  if (IVarEvaluator* evaluator = Scene().TextEvaluator())
    FEngine.ExpandVariables(from, FEngine.Count() - 1, asHistory, *evaluator);
}

void TKestMes::CopyRecord(const TMesDataRecord& record, TTpWord& word, bool asHistory) {
  const TGlyphRange range = GlyphRangeOfPositions(word, record.Start, record.End < 0 ? INT32_MAX : record.End);
  // Lines of a history run on: each ends its row even where the text went on.
  if (FRecordState == 2 && FEngine.Count() > 0) {
    const TWdGlyph* last = FEngine.Glyph(FEngine.Count() - 1);
    if (last->Kind() != TGlyphKind::Return && last->Kind() != TGlyphKind::VarReturn)
      FEngine.Add(NewGlyph<TWdOpeReturn>(FEngine));
  }
  const int32_t from = FEngine.Count();
  CopyRange(word, range.First, range.Last, record.VarValues, asHistory);
  if (FRecordState == 2) DropClears(FEngine, from);
  if (record.Line < 0) return;
  if (FLineGlyphs.size() <= size_t(record.Line)) FLineGlyphs.resize(size_t(record.Line) + 1, {0, -1});
  FLineGlyphs[size_t(record.Line)] = {from, FEngine.Count() - 1};
}

void TKestMes::CopyEntry(const TMesDataRecord& record, TTpWord& word, bool asHistory) {
  // The command's screenfuls, at the size of the window that showed them.
  const THistoryOldData* entry = nullptr;
  for (const THistoryOldData& e : FSource.Entries)
    if (e.CommandIndex == record.Command && e.ScreenIndex == record.Screen) entry = &e;
  const int32_t width = entry && entry->Size.Width > 0 ? entry->Size.Width : Width();
  const int32_t height = entry && entry->Size.Height > 0 ? entry->Size.Height : Height();
  TakeLayoutSettings(FEngine, word, width, height);
  word.Fonts = FEngine.Fonts;
  word.Pictures = FEngine.Pictures;
  int32_t start = 0, end = -1;
  {
    TWdPages screens;
    if (IVarEvaluator* evaluator = Scene().TextEvaluator())
      word.ExpandVariables(0, word.Count() - 1, asHistory, *evaluator);
    LayoutGlyphs(word, screens);
    if (record.Screen < int32_t(screens.size())) {
      int32_t before = -1, last = -1;
      for (int32_t p = 0; p <= record.Screen; ++p) {
        before = last;
        for (const auto& row : screens[size_t(p)]->Rows)
          for (const TWdGlyph* g : row->Glyphs)
            if (g != row->Space.get()) last = std::max(last, word.IndexOf(g));
      }
      start = PositionOfGlyph(word, before + 1);
      end = PositionOfGlyph(word, last + 1) - 1;
    }
  }
  word.RemoveExpansions(0, word.Count() - 1);
  const TGlyphRange range = GlyphRangeOfPositions(word, start, end);
  // Each entry is a screenful of its own unless the history runs on.
  if (FEngine.Count() > 0) {
    TWdGlyph* last = FEngine.Glyph(FEngine.Count() - 1);
    if (last->Kind() != TGlyphKind::Return) {
      FEngine.Add(NewGlyph<TWdOpeReturn>(FEngine));
      last = FEngine.Glyph(FEngine.Count() - 1);
    }
    if (FHistoryFlag == 0) static_cast<TWdOpeReturn*>(last)->Clear = true;
  }
  const int32_t from = FEngine.Count();
  CopyRange(word, range.First, range.Last, record.VarValues, asHistory);
  DropClears(FEngine, from);
}

void TKestMes::ShowHistory(bool flag, int32_t offset) {
  FRecordState = 2;
  FHistoryFlag = flag ? 1 : 0;
  FHistoryOffset = std::min(offset, 0);
  ReloadText(true, true);
  FPageIndex = -1;
  ShowPage(0);
}

void TKestMes::StoreShownValues() const {
  if (!CurrentPage()) return;
  const auto [first, last] = GlyphSpan(FPageIndex);
  // Only the lines on the page shown take the values it shows, each its own:
  // lines of other screenfuls may show the same variable with other values.
  std::vector<THistLine>& lines = FSource.Lines.Lines;
  for (size_t i = 0; i < std::min(lines.size(), FLineGlyphs.size()); ++i) {
    const int32_t from = std::max(first, FLineGlyphs[i].first), to = std::min(last, FLineGlyphs[i].second);
    if (to < from) continue;
    std::vector<std::string> values;
    FEngine.SaveVarValues(from, to, values);
    if (!values.empty()) lines[i].VarValues = JoinLines(values);
  }
}

void TKestMes::RestoreText() {
  const int32_t index = FPageIndex, scroll = FScrollY;
  const uint8_t state = FRecordState;
  const std::string page = FSourcePage;
  const int32_t command = FSourceCommand;
  // The screenful the saved game was showing is still the pending record of
  // the loaded histories: it is built again, not committed a second time.
  if (FSource.Records().empty()) {
    try {
      SetText(FRawText);
    } catch (const EKestError&) {
      // Markup the window refused when it was set gave it no pages; so it
      // does again, and the rest of the game loads.
      FPages.clear();
    }
  } else {
    RebuildRestored();
  }
  FPageIndex = index;
  FScrollY = scroll;
  FRecordState = state;
  FSourcePage = page;
  FSourceCommand = command;
  if (TWdPage* shown = CurrentPage()) {
    FEngine.ResetReveal(*shown);
    FEngine.PreparePage(*shown);
  }
  std::span<const uint8_t> rest(FPendingPages);
  for (auto& p : FPages) rest = rest.subspan(std::min(rest.size(), LoadPageReveal(rest, FEngine, *p)));
  FPendingPages.clear();
  if (TWdPage* shown = CurrentPage(); shown && shown->Started) shown->WaitMs = FPendingWait;
  FPendingWait = 0;
  FPrepare = FReset = false;
  // The start event of the page went with the save: it is not raised again.
  FSkipFrames = 0;
}

void TKestMes::SaveState(TStream& stream) const {
  TKestControl::SaveState(stream);
  StoreShownValues();
  SaveEngineSettings(stream, FEngine);
  FSource.SaveToStream(stream);
  WriteByte(stream, FHistoryFlag);
  WriteInt(stream, FHistoryOffset);
  WriteStr(stream, FRawText);
  WriteInt(stream, FPageIndex);
  WriteInt(stream, FScrollY);
  const TWdPage* shown = CurrentPage();
  WriteInt(stream, shown ? shown->WaitMs : 0);
  for (int i = 0; i < 3; ++i) WriteStr(stream, "");
  for (int32_t id : {PR_ONPLAYING, PR_ONPLAYSTART, PR_ONPLAYEND, PR_ONLINK, PR_ONNOTIFY})
    WriteStr(stream, Reference(id));
  WriteFlag(stream, FStopped);
  WriteFlag(stream, FTextPaused);
  WriteInt(stream, FSpeedRate);
  WriteByte(stream, FRecordState);
  WriteStr(stream, FSourcePage);
  WriteInt(stream, FSourceCommand);
  WriteStr(stream, Reference(PR_ONIDLE));
  WriteFlag(stream, FLinksOnly);
  TByteStream pages;
  for (const auto& page : FPages) SavePageReveal(pages, *page);
  WriteInt(stream, static_cast<int32_t>(pages.Bytes().size()));
  WriteExact(stream, pages.Bytes().data(), static_cast<int64_t>(pages.Bytes().size()));
}

void TKestMes::LoadState(TStream& stream, int32_t version) {
  TKestControl::LoadState(stream, version);
  LoadEngineSettings(stream, FEngine, version);
  FSource.LoadFromStream(stream, version);
  FHistoryFlag = ReadByte(stream);
  FHistoryOffset = version >= kSaveSinceHistoryLines ? ReadInt(stream) : 0;
  FRawText = ReadStr(stream);
  FPageIndex = ReadInt(stream);
  FScrollY = ReadInt(stream);
  FPendingWait = ReadInt(stream);
  for (int i = 0; i < 3; ++i) ReadStr(stream);
  // Setting PR_ONNOTIFY turns the engine's events on or off again: saves
  // of windows that never set it hold the flag on.
  for (int32_t id : {PR_ONPLAYING, PR_ONPLAYSTART, PR_ONPLAYEND, PR_ONLINK, PR_ONNOTIFY}) SetProp(id, ReadStr(stream));
  FStopped = ReadFlag(stream);
  FTextPaused = ReadFlag(stream);
  ApplyPause();
  FSpeedRate = ReadInt(stream);
  FEngine.TextSpeed = FSpeedRate;
  FRecordState = ReadByte(stream);
  FSourcePage = ReadStr(stream);
  FSourceCommand = ReadInt(stream);
  if (version >= kSaveSinceClips) SetProp(PR_ONIDLE, ReadStr(stream));
  if (version >= kSaveSinceTag) FLinksOnly = ReadFlag(stream);
  const int32_t size = ReadInt(stream);
  if (size < 0) throw EReadError("Message window: a negative page data length");
  RequireRemaining(stream, size);
  FPendingPages.resize(size_t(size));
  ReadExact(stream, FPendingPages.data(), size);
}

}  // namespace kest
