#include "scene/event_queue.h"

#include <algorithm>

namespace kest {

std::string TSenderRef::Name() const {
  TSenderHandle sender = FSender.lock();
  return sender ? sender->Name : std::string();
}

void TTimerList::PostEvent(TTimerData record) { FItems.push_back(std::make_unique<TTimerData>(std::move(record))); }

TTimerData* TTimerList::FirstWaiting() {
  for (auto& item : FItems)
    if (item->Running == 0) return item.get();
  return nullptr;
}

void TTimerList::RemoveRunning(int32_t first, int32_t last) {
  std::erase_if(
      FItems, [&](const std::unique_ptr<TTimerData>& item) { return item->Running >= first && item->Running <= last; });
}

}  // namespace kest
