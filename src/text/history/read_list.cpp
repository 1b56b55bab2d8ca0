#include "text/history/read_list.h"

#include "common/errors.h"
#include "common/stream.h"
#include "text/history/hist_data.h"

namespace kest {

void TKestRead::Mark(int32_t command, int32_t screen) {
  if (FKeys.insert(Key(command, screen)).second) FPairs.emplace_back(command, screen);
}

void TKestRead::Assign(const THashCollectionItem& source) {
  THashCollectionItem::Assign(source);
  if (const auto* read = dynamic_cast<const TKestRead*>(&source)) {
    FPairs = read->FPairs;
    FKeys = read->FKeys;
  }
}

bool TKestReadList::IsRead(std::string_view page, int32_t command, int32_t screen) const {
  const TKestRead* item = Find(page);
  return item && item->Has(command, screen);
}

void TKestReadList::SetPending(std::string_view window, std::string_view page, int32_t screen, int32_t command) {
  PendingWindow = window;
  PendingPage = page;
  PendingScreen = screen;
  PendingCommand = command;
}

void TKestReadList::Commit(std::string_view window) {
  if (PendingPage.empty() || PendingWindow != window) return;
  FindOrAdd(PendingPage).Mark(PendingCommand, PendingScreen);
  PendingPage.clear();
}

TKestRead& TKestReadList::FindOrAdd(std::string_view page) {
  if (TKestRead* item = Find(page)) return *item;
  return *AddNamed(page);
}

void TKestReadList::SaveToStream(TStream& stream) const {
  WriteInt(stream, Count());
  for (int32_t i = 0; i < Count(); ++i) {
    const TKestRead& item = *(*this)[i];
    const auto& pairs = item.Pairs();
    WriteStr(stream, item.Name());
    WriteInt(stream, static_cast<int32_t>(pairs.size()));
    for (const auto& pair : pairs) WriteInt(stream, pair.first);
    for (const auto& pair : pairs) WriteInt(stream, pair.second);
  }
  WriteStr(stream, PendingPage);
  WriteInt(stream, PendingCommand);
  WriteInt(stream, PendingScreen);
  WriteStr(stream, PendingWindow);
}

void TKestReadList::LoadFromStream(TStream& stream, int32_t version) {
  if (version < kStatusSinceReadMarks) {
    Clear();
    return;
  }
  TKestReadList loaded;
  try {
    loaded.ReadItems(stream);
    loaded.PendingPage = ReadStr(stream);
    loaded.PendingCommand = ReadInt(stream);
    loaded.PendingScreen = ReadInt(stream);
    loaded.PendingWindow = ReadStr(stream);
  } catch (const EReadError& e) {
    throw EReadError(std::string("Read marks: ") + e.what());
  }
  Assign(loaded);
  PendingPage = std::move(loaded.PendingPage);
  PendingCommand = loaded.PendingCommand;
  PendingScreen = loaded.PendingScreen;
  PendingWindow = std::move(loaded.PendingWindow);
}

// A page stored twice (names that differ in case only) shares one item.
void TKestReadList::ReadItems(TStream& stream) {
  const int32_t count = ReadRecordCount(stream, 8, "Page");
  for (int32_t i = 0; i < count; ++i) {
    const std::string name = ReadStr(stream);
    const int32_t n = ReadRecordCount(stream, 8, "Read pair");
    std::vector<int32_t> commands(size_t(n), 0);
    for (int32_t& c : commands) c = ReadInt(stream);
    TKestRead& item = FindOrAdd(name);
    for (int32_t c : commands) item.Mark(c, ReadInt(stream));
  }
}

}  // namespace kest
