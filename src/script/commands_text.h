#pragma once
// The story text commands: TextIns shows a page's stored text in a message
// window (and may hold the script until it has been shown), TextClr empties
// a window.

#include "script/command_wait_on_object.h"

namespace kest {

class TComTextIns : public TComWaitOnObject {
 public:
  using TComWaitOnObject::TComWaitOnObject;
  void Begin(TCallMan& man) override;
  void Execute(TCallMan& man) override;

 protected:
  TKestObject* FindLoaded(TCallMan& man, const std::string& name) override;
};

class TComTextClr : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

}  // namespace kest
