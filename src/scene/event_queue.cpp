#include "scene/event_queue.h"

#include <algorithm>
#include <functional>

#include "common/errors.h"
#include "common/save_versions.h"
#include "common/stream.h"

namespace kest {

size_t TTimerList::TWaitHash::operator()(const TWaitKey& key) const {
  return std::hash<const void*>()(key.Sender) * 31 + key.Code;
}

void TTimerList::CountWaiting(const TTimerData& record, int32_t delta) {
  if (record.Running != 0) return;
  const TWaitKey key{record.Sender.Key(), record.Code};
  int32_t& count = FWaiting[key];
  count += delta;
  if (count <= 0) FWaiting.erase(key);
}

void TTimerList::PostEvent(TTimerData record) {
  FItems.push_back(std::make_unique<TTimerData>(std::move(record)));
  CountWaiting(*FItems.back(), 1);
}

bool TTimerList::IsWaiting(const TObjectRef& sender, uint8_t code) const {
  return FWaiting.contains(TWaitKey{sender.Key(), code});
}

int32_t TTimerList::FindWaiting(const TObjectRef& sender, uint8_t code) const {
  if (!IsWaiting(sender, code)) return -1;
  for (size_t i = 0; i < FItems.size(); ++i) {
    const TTimerData& item = *FItems[i];
    if (item.Running == 0 && item.Code == code && item.Sender.Key() == sender.Key()) return static_cast<int32_t>(i);
  }
  return -1;
}

TTimerData* TTimerList::FirstWaiting() {
  if (FWaiting.empty()) return nullptr;
  for (auto& item : FItems)
    if (item->Running == 0) return item.get();
  return nullptr;
}

void TTimerList::SetRunning(TTimerData& record, int32_t level) {
  CountWaiting(record, -1);
  record.Running = level;
  CountWaiting(record, 1);
}

template <class Pred>
void TTimerList::RemoveIf(Pred pred) {
  std::erase_if(FItems, [&](const std::unique_ptr<TTimerData>& item) {
    if (!pred(*item)) return false;
    CountWaiting(*item, -1);
    return true;
  });
}

void TTimerList::RemoveRunning(int32_t first, int32_t last) {
  RemoveIf([&](const TTimerData& item) { return item.Running >= first && item.Running <= last; });
}

void TTimerList::RemoveAllRunning() {
  RemoveIf([](const TTimerData& item) { return item.Running != 0; });
}

void TTimerList::RemoveWaitingOf(const TObjectLife* sender) {
  if (!sender) return;
  RemoveIf([&](const TTimerData& item) { return item.Running == 0 && item.Sender.Key() == sender; });
}

void TTimerList::Clear() {
  FItems.clear();
  FWaiting.clear();
}

void TTimerList::SaveToStream(TStream& stream) const {
  WriteInt(stream, Count());
  for (const auto& item : FItems) {
    WriteStr(stream, item->Reference);
    WriteStr(stream, item->Sender.Name());
    WriteByte(stream, item->Code);
    WriteInt(stream, item->Running);
    item->Args.SaveToStream(stream);
  }
}

void TTimerList::LoadFromStream(TStream& stream, int32_t version, const TSenderFinder& findSender) {
  const int32_t count = ReadInt(stream);
  // A record takes at least two lengths, the code, a running byte and a count.
  constexpr int64_t kSmallestRecord = 4 + 4 + 1 + 1 + 4;
  if (count < 0) throw EReadError("Event queue: negative count");
  RequireRemaining(stream, count * kSmallestRecord);
  TTimerList loaded;
  for (int32_t i = 0; i < count; ++i) {
    TTimerData record;
    record.Reference = ReadStr(stream);
    const std::string sender = ReadStr(stream);
    record.Sender = TObjectRef(!sender.empty() && findSender ? findSender(sender) : nullptr);
    record.Code = ReadByte(stream);
    record.Running = version >= kSaveSinceLevelRunning ? ReadInt(stream) : ReadByte(stream);
    record.Args.LoadFromStream(stream);
    loaded.PostEvent(std::move(record));
  }
  *this = std::move(loaded);
}

}  // namespace kest
