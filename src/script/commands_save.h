#pragma once
// Saving and loading the game (requests the project carries out at the end
// of the tick) and the cabinets that park controls aside.

#include <string>

#include "script/command.h"
#include "script/commands_component.h"

namespace kest {

class TKestControl;

class TComGameSave : public TCommand {
 public:
  using TCommand::TCommand;
  // The tick ends here, so the request is carried out in the same tick.
  bool GetContinue() const override { return false; }
  void Execute(TCallMan& man) override;
};

class TComGameLoad : public TCommand {
 public:
  using TCommand::TCommand;
  bool GetContinue() const override { return false; }
  void Execute(TCallMan& man) override;
};

class TComCabinet : public TComComponent {
 public:
  using TComComponent::TComComponent;

 protected:
  // The cabinet's name from the command's name property.
  std::string CabinetName(TCallMan& man);
  // Moves the children of `from` that the name list matches (or, inverted,
  // does not match) to `to`, from the last child to the first.
  void MoveMatching(TCallMan& man, TKestControl& from, TKestControl& to);
};

class TComCabinetSave : public TComCabinet {
 public:
  using TComCabinet::TComCabinet;
  void Execute(TCallMan& man) override;
};

class TComCabinetLoad : public TComCabinet {
 public:
  using TComCabinet::TComCabinet;
  void Execute(TCallMan& man) override;
};

}  // namespace kest
