#pragma once
// What the commands reach beyond the interpreter. Each subsystem a command
// drives answers through one narrow interface of its own, set by whoever
// assembles the player; tests set only the ones they watch. A command whose
// host is not set moves on without doing its part.

#include <cstdint>
#include <string>

namespace kest {

class TKestBaseList;

// The game as a whole.
class IGameHost {
 public:
  virtual ~IGameHost() = default;
  // The game ended itself: the main window closes after this tick.
  virtual void CloseMainWindow() = 0;
};

// The project's save and load requests, carried out at the end of the tick.
class IGameRequests {
 public:
  virtual ~IGameRequests() = default;
  virtual void RequestSave(int32_t slot, std::string title, std::string jumpPage, int32_t jumpPc) = 0;
  virtual void RequestLoad(int32_t slot) = 0;
};

struct TCommandHosts {
  IGameHost* Game = nullptr;
  // The scene the component and property commands build and drive.
  TKestBaseList* Scene = nullptr;
  IGameRequests* Saves = nullptr;
};

}  // namespace kest
