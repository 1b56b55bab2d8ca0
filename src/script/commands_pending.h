#pragma once
// Commands whose records load and save in full but whose behaviour comes
// with the scene, saving and media: run, they trace and move on. Only what
// the interpreter already depends on is here (their continue flags), and
// Terminate, which needs nothing else.

#include "script/command.h"
#include "script/commands_component.h"

namespace kest {

class TComCabinet : public TComComponent {
 public:
  using TComComponent::TComComponent;
};

class TComCabinetSave : public TComCabinet {
 public:
  using TComCabinet::TComCabinet;
};

class TComCabinetLoad : public TComCabinet {
 public:
  using TComCabinet::TComCabinet;
};

// Ends the program: the scripts stop and the main window closes.
class TComTerminate : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

class TComGameSave : public TCommand {
 public:
  using TCommand::TCommand;
  bool GetContinue() const override { return false; }
};

class TComGameLoad : public TCommand {
 public:
  using TCommand::TCommand;
  bool GetContinue() const override { return false; }
};

}  // namespace kest
