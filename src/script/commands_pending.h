#pragma once
// Commands whose records load and save in full but whose behaviour comes
// with the scene, saving and media: run, they trace and move on. Only what
// the interpreter already depends on is here (their continue flags), and
// Terminate, which needs nothing else.

#include "script/command.h"

namespace kest {

// The component commands: one optional expression per property id, chosen by
// the page's mask for the command id.
class TComComponent : public TCommand {
 public:
  using TCommand::TCommand;
  // The expression for a property id, or nothing when the page stores none.
  TKestParser* Property(int32_t id);
};

class TComControl : public TComComponent {
 public:
  using TComComponent::TComComponent;
};

class TComTimer : public TComComponent {
 public:
  using TComComponent::TComComponent;
};

class TComSound : public TComComponent {
 public:
  using TComComponent::TComComponent;
};

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
