#pragma once
// The restart commands: PCReset sends the script to a page (with its flag,
// dropping every call in progress), Reset restarts the game on a page with a
// fresh scene and fresh game variables.

#include "script/command.h"

namespace kest {

class TComPCReset : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;

 private:
  void RestartAll(TCallMan& man);
  void Redirect(TCallMan& man);
};

class TComReset : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

}  // namespace kest
