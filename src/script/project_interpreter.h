#pragma once
// What the project asks of the call manager that runs its pages. The call
// manager implements it; the project owns the one it is given.

#include <string>

namespace kest {

class IProjectInterpreter {
 public:
  virtual ~IProjectInterpreter() = default;
  // Loads the start page and makes it the running main script.
  virtual void LoadStartPage(const std::string& page) = 0;
  // Starts the exit page and runs it for one tick; errors pass to the caller.
  virtual void RunExitPage(const std::string& page) = 0;
  // One tick of the interpreter.
  virtual void RunTick() = 0;
};

}  // namespace kest
