#pragma once
// What the project asks of the call manager that runs its pages. The call
// manager implements it; the project owns the one it is given.

#include <cstdint>
#include <string>

namespace kest {

class TStream;

class IProjectInterpreter {
 public:
  virtual ~IProjectInterpreter() = default;
  // Loads the start page and makes it the running main script.
  virtual void LoadStartPage(const std::string& page) = 0;
  // Starts the exit page and runs it for one tick; errors pass to the caller.
  virtual void RunExitPage(const std::string& page) = 0;
  // One tick of the interpreter.
  virtual void RunTick() = 0;
  // Its record in saved games: the running page, the call stack and the
  // command in progress. Loading raises EReadError for a damaged record.
  virtual void SaveState(TStream& stream) = 0;
  virtual void LoadState(TStream& stream, int32_t saveVersion) = 0;
  // Runs a saved game's jump page on top of the restored script.
  virtual void EnterJumpPage(const std::string& page, int32_t pc) = 0;
};

}  // namespace kest
