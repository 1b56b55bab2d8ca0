#pragma once
// What the commands reach beyond the interpreter. Each subsystem a command
// drives answers through one narrow interface of its own, set by whoever
// assembles the player; tests set only the ones they watch. A command whose
// host is not set moves on without doing its part.

namespace kest {

class TKestBaseList;

// The game as a whole.
class IGameHost {
 public:
  virtual ~IGameHost() = default;
  // The game ended itself: the main window closes after this tick.
  virtual void CloseMainWindow() = 0;
};

struct TCommandHosts {
  IGameHost* Game = nullptr;
  // The scene the component and property commands build and drive.
  TKestBaseList* Scene = nullptr;
};

}  // namespace kest
