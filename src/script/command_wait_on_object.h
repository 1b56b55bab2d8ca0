#pragma once
// The commands that can hold their script on a scene object they name until
// the object is done with (a fading sound, a window showing its text): the
// object is held by reference while the game runs and by name in a saved
// game, and found again by that name when the command next runs.

#include <string>

#include "scene/object_handle.h"
#include "script/command.h"

namespace kest {

class TKestObject;

class TComWaitOnObject : public TCommand {
 public:
  using TCommand::TCommand;
  bool IsYielding() const override { return FWait; }
  bool BlocksEvents() const override { return FBlockEvents; }
  // "kest100", the object's name, wait (1), block-events (1).
  void SaveState(TStream& stream) override;
  void LoadState(TStream& stream) override;

 protected:
  // A new run of the command: no object, no wait, events blocked as given.
  void Restart(bool blockEvents);
  void Hold(TKestObject& object);
  void SetWait(bool wait) { FWait = wait; }
  bool Waits() const { return FWait; }
  // The object held, found first by the name a loaded game gave it.
  TKestObject* Held(TCallMan& man);
  // How a loaded name is looked up: the kind of object the command waits on.
  virtual TKestObject* FindLoaded(TCallMan& man, const std::string& name) = 0;

 private:
  TObjectRef FTarget;
  std::string FLoadedName;
  bool FWait = false;
  bool FBlockEvents = false;
};

}  // namespace kest
