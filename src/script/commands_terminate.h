#pragma once
// Terminate, which needs nothing beyond the interpreter and the game host.

#include "script/command.h"

namespace kest {

// Ends the program: the scripts stop and the main window closes.
class TComTerminate : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

}  // namespace kest
