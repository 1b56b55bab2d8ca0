#pragma once
// The running game as the game-state functions see it: the project's list of
// saved games, the scene's named histories and the screen manager's display
// modes. Each part is set once it exists and taken away before it goes; a
// missing part answers as for nothing found.

#include "language/game_state_functions.h"

namespace kest {

class TKestBaseList;
class TProject;
class TScreenManager;

class TGameStateHost final : public IGameStateFunctions {
 public:
  void SetProject(const TProject* project) { FProject = project; }
  void SetScene(TKestBaseList* scene) { FScene = scene; }
  void SetScreen(const TScreenManager* screen) { FScreen = screen; }

  std::string SaveCaption(int32_t slot) override;
  std::vector<TSavedSlot> SavedGames() override;
  int32_t HistoryCount(const std::string& name) override;
  int32_t HistoryMaxCount(const std::string& name) override;
  bool SetHistoryMaxCount(const std::string& name, int32_t value) override;
  std::optional<TDisplayModeInfo> DisplayMode(int32_t index) override;

 private:
  const TProject* FProject = nullptr;
  TKestBaseList* FScene = nullptr;
  const TScreenManager* FScreen = nullptr;
};

}  // namespace kest
