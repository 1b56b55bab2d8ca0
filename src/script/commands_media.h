#pragma once
// The commands that stop and restart sounds and movies.

#include <string>

#include "scene/object_handle.h"
#include "script/command.h"

namespace kest {

// Stops a sound or movie at once, or fades it out and optionally waits
// until it has gone.
class TComMovieStop : public TCommand {
 public:
  using TCommand::TCommand;
  void Begin(TCallMan& man) override;
  void Execute(TCallMan& man) override;
  bool IsYielding() const override { return FWait; }
  bool BlocksEvents() const override { return FBlockEvents; }
  // "kest100", the fading object's name, wait (1), block-events (1).
  void SaveState(TStream& stream) override;
  void LoadState(TStream& stream) override;

 private:
  TObjectRef FTarget;
  // A loaded command finds its object by this name when it next runs.
  std::string FLoadedName;
  bool FWait = false;
  bool FBlockEvents = false;
};

// Plays a sound or movie again from its start.
class TComMediaPlay : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

}  // namespace kest
