#include "script/game_state_host.h"

#include "media/screen_manager.h"
#include "scene/kest_base_list.h"
#include "script/project.h"

namespace kest {

namespace {

TKestNewHistory* FindHistory(TKestBaseList* scene, const std::string& name) {
  TKestHistoryFormat* format = scene ? scene->Story().History.Find(name) : nullptr;
  return format ? format->History.get() : nullptr;
}

}  // namespace

std::string TGameStateHost::SaveCaption(int32_t slot) { return FProject ? FProject->SlotTitle(slot) : std::string(); }

std::vector<TSavedSlot> TGameStateHost::SavedGames() {
  std::vector<TSavedSlot> games;
  if (!FProject) return games;
  for (const TSavedGame& game : FProject->SavedGames()) games.push_back({game.Title, game.Slot});
  return games;
}

int32_t TGameStateHost::HistoryCount(const std::string& name) {
  const TKestNewHistory* history = FindHistory(FScene, name);
  return history ? history->Count() : -1;
}

int32_t TGameStateHost::HistoryMaxCount(const std::string& name) {
  const TKestNewHistory* history = FindHistory(FScene, name);
  return history ? history->MaxCount : -1;
}

bool TGameStateHost::SetHistoryMaxCount(const std::string& name, int32_t value) {
  TKestNewHistory* history = FindHistory(FScene, name);
  if (history) history->MaxCount = value;
  return history != nullptr;
}

std::optional<TDisplayModeInfo> TGameStateHost::DisplayMode(int32_t index) {
  if (!FScreen || index < 0 || index >= FScreen->ModeCount()) return std::nullopt;
  const TDisplayMode mode = FScreen->GetMode(index);
  return TDisplayModeInfo{mode.Width, mode.Height, mode.Bits, mode.Refresh};
}

}  // namespace kest
