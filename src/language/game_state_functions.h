#pragma once
// What the game-state functions ask of the running game: the saved games,
// the named histories and the display modes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kest {

struct TSavedSlot {
  std::string Caption;
  int32_t Slot = 0;
};

struct TDisplayModeInfo {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Bits = 0;
  int32_t Rate = 0;
};

class IGameStateFunctions {
 public:
  virtual ~IGameStateFunctions() = default;

  // Empty when the slot holds no saved game.
  virtual std::string SaveCaption(int32_t slot) = 0;
  // In the order of the save list.
  virtual std::vector<TSavedSlot> SavedGames() = 0;
  // -1 when no history has the name.
  virtual int32_t HistoryCount(const std::string& name) = 0;
  virtual int32_t HistoryMaxCount(const std::string& name) = 0;
  virtual bool SetHistoryMaxCount(const std::string& name, int32_t value) = 0;
  // Nothing outside 0..count-1.
  virtual std::optional<TDisplayModeInfo> DisplayMode(int32_t index) = 0;
};

}  // namespace kest
