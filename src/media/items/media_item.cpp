#include "media/items/media_item.h"

#include <algorithm>

namespace kest {

void TDMediaItem::SetPosition(int32_t value) {
  FEndReported = false;
  DoSetPosition(std::max(value, 0));
}

bool TDMediaItem::IsEnd() {
  if (!AtEnd()) {
    FEndReported = false;
    return false;
  }
  if (FEndReported) return false;
  FEndReported = true;
  return true;
}

void TDMediaItem::Play() {
  if (!FManager.Active()) {
    WasPlaying = true;
    return;
  }
  FEndReported = false;
  DoPlay();
}

void TMediaManager::Remove(TDMediaItem* item) {
  auto it = std::find_if(FItems.begin(), FItems.end(), [item](const auto& p) { return p.get() == item; });
  if (it != FItems.end()) FItems.erase(it);
}

void TMediaManager::Clear() { FItems.clear(); }

TDMediaItem& TMediaManager::Append(std::unique_ptr<TDMediaItem> item) {
  FItems.push_back(std::move(item));
  return *FItems.back();
}

void TMediaManager::Suspend() {
  if (!FActive || FSuspended) return;
  FSuspended = true;
  for (auto& item : FItems) {
    item->WasPlaying = item->IsPlaying() && !item->IsPaused() && !item->AtEnd();
    if (item->WasPlaying) item->Pause();
  }
}

void TMediaManager::Resume() {
  if (!FActive || !FSuspended) return;
  FSuspended = false;
  for (auto& item : FItems) {
    if (!item->WasPlaying) continue;
    item->WasPlaying = false;
    item->Play();
  }
}

void TMediaManager::SetActive(bool value) {
  if (value == FActive) return;
  if (!value) {
    Suspend();
    FActive = false;
  } else {
    FActive = true;
    Resume();
  }
}

}  // namespace kest
