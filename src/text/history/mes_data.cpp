#include "text/history/mes_data.h"

#include <algorithm>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "text/history/history_text.h"
#include "text/history/story_pages.h"

namespace kest {

namespace {

// Moves the item at index to the front and drops what exceeds the limit.
template <class T>
T* Promote(std::vector<std::unique_ptr<T>>& items, size_t index, size_t limit) {
  std::rotate(items.begin(), items.begin() + std::ptrdiff_t(index), items.begin() + std::ptrdiff_t(index) + 1);
  if (items.size() > limit) items.resize(limit);
  return items.front().get();
}

}  // namespace

TTpWord* TMesDataCacheList::Word(IStoryPages& story, const TMesDataRecord& record, TMesDataLookup& status) {
  TMesDataCache* page = Page(story, record.Page);
  if (!page) {
    status = TMesDataLookup::PageGone;
    return nullptr;
  }
  TMesDataCacheWord* cached = Command(story, *page, record.Command);
  if (!cached) {
    status = TMesDataLookup::NotText;
    return nullptr;
  }
  TTpWord& word = cached->Word;
  word.RemoveExpansions(0, word.Count() - 1);
  word.VarValues() = SplitVarValues(record.VarValues);
  status = TMesDataLookup::Found;
  return &word;
}

TMesDataCache* TMesDataCacheList::Page(IStoryPages& story, const std::string& name) {
  for (size_t i = 0; i < FPages.size(); ++i)
    if (SameName(FPages[i]->PageName, name)) return Promote(FPages, i, kMaxPages);
  if (!story.Exists(name)) return nullptr;
  auto page = std::make_unique<TMesDataCache>();
  page->PageName = name;
  FPages.insert(FPages.begin(), std::move(page));
  return Promote(FPages, 0, kMaxPages);
}

TMesDataCacheWord* TMesDataCacheList::Command(IStoryPages& story, TMesDataCache& page, int32_t command) {
  for (size_t i = 0; i < page.Words.size(); ++i)
    if (page.Words[i]->CommandIndex == command) return Promote(page.Words, i, kMaxWords);
  const std::optional<std::vector<uint8_t>> glyphs = story.TextCommand(page.PageName, command);
  if (!glyphs) return nullptr;
  auto cached = std::make_unique<TMesDataCacheWord>();
  cached->CommandIndex = command;
  TByteStream stream{std::span<const uint8_t>(*glyphs)};
  try {
    cached->Word.LoadGlyphs(stream);
  } catch (const EReadError&) {
    return nullptr;  // shown as a command that holds no text
  }
  page.Words.insert(page.Words.begin(), std::move(cached));
  return Promote(page.Words, 0, kMaxWords);
}

void TKestNewMesData::Clear() {
  Entries.clear();
  Lines.Clear();
}

std::vector<TMesDataRecord> TKestNewMesData::Records() const {
  std::vector<TMesDataRecord> records;
  std::string name;
  for (const THistoryOldData& e : Entries) {
    if (!e.PageName.empty()) name = e.PageName;
    records.push_back({name, e.CommandIndex, e.ScreenIndex, 0, -1, {}, -1});
  }
  name.clear();
  for (size_t i = 0; i < Lines.Lines.size(); ++i) {
    const THistLine& line = Lines.Lines[i];
    if (!line.PageName.empty()) name = line.PageName;
    records.push_back({name, line.CommandIndex, -1, line.StartPos, line.EndPos, line.VarValues, int32_t(i)});
  }
  return records;
}

size_t TKestNewMesData::Rebuild(IStoryPages& story, const TRebuildVisitor& visit) {
  const std::vector<TMesDataRecord> records = Records();
  for (size_t i = 0; i < records.size(); ++i) {
    TMesDataLookup status;
    TTpWord* word = Cache.Word(story, records[i], status);
    if (status == TMesDataLookup::PageGone) return i;
    if (word) visit(records[i], *word);
  }
  return records.size();
}

void TKestNewMesData::SaveToStream(TStream& stream) const {
  WriteInt(stream, static_cast<int32_t>(Entries.size()));
  for (const THistoryOldData& e : Entries) WriteStr(stream, e.PageName);
  for (const THistoryOldData& e : Entries) WriteInt(stream, e.CommandIndex);
  for (const THistoryOldData& e : Entries) WriteInt(stream, e.ScreenIndex);
  for (const THistoryOldData& e : Entries) {
    WriteInt(stream, e.Size.Width);
    WriteInt(stream, e.Size.Height);
  }
  Lines.SaveToStream(stream);
}

void TKestNewMesData::LoadFromStream(TStream& stream, int32_t version) {
  std::vector<THistoryOldData> entries;
  TKestHistData lines;
  try {
    entries.resize(size_t(ReadRecordCount(stream, 20, "History window entry")));
    for (THistoryOldData& e : entries) e.PageName = ReadStr(stream);
    for (THistoryOldData& e : entries) e.CommandIndex = ReadInt(stream);
    for (THistoryOldData& e : entries) e.ScreenIndex = ReadInt(stream);
    for (THistoryOldData& e : entries) {
      e.Size.Width = ReadInt(stream);
      e.Size.Height = ReadInt(stream);
    }
    if (version >= kSaveSinceHistoryLines) lines.LoadFromStream(stream, version);
  } catch (const EReadError& e) {
    throw EReadError(std::string("History window record: ") + e.what());
  }
  Entries = std::move(entries);
  Lines = std::move(lines);
  Cache.Clear();
}

}  // namespace kest
