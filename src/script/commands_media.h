#pragma once
// The commands that stop and restart sounds and movies.

#include <string>

#include "script/command_wait_on_object.h"

namespace kest {

// Stops a sound or movie at once, or fades it out and optionally waits
// until it has gone.
class TComMovieStop : public TComWaitOnObject {
 public:
  using TComWaitOnObject::TComWaitOnObject;
  void Begin(TCallMan& man) override;
  void Execute(TCallMan& man) override;

 protected:
  TKestObject* FindLoaded(TCallMan& man, const std::string& name) override;
};

// Plays a sound or movie again from its start.
class TComMediaPlay : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

}  // namespace kest
