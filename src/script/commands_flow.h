#pragma once
// The commands of a page's control flow and its plain calculations. Blocks
// have no end markers: a block is the run of following commands whose
// indent is greater than the opening command's. All target pcs were worked
// out by the compiler and are used as they are.

#include <cstdint>

#include "script/command.h"

namespace kest {

class TComIf : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
  TKestParser& Condition() { return At(field::kCondition); }
};

// Reached only when the block before it ran to its end.
class TComElseif : public TComIf {
 public:
  using TComIf::TComIf;
  void Execute(TCallMan& man) override;
};

class TComElse : public TCommand {
 public:
  using TCommand::TCommand;
  bool GetContinue() const override { return true; }
  void Execute(TCallMan& man) override;
};

class TComLabel : public TCommand {
 public:
  using TCommand::TCommand;
  bool IsLabel(std::string_view name) const override;
  void Execute(TCallMan& man) override;
  const std::string& Name() const { return At(field::kLabelName); }
};

// Never runs. It derives from Label for its name field only: a comment is
// not a jump target.
class TComComment : public TComLabel {
 public:
  using TComLabel::TComLabel;
  bool GetContinue() const override { return false; }
  bool GetSkipped() const override { return true; }
  bool IsLabel(std::string_view) const override { return false; }
};

class TComJump : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

class TComCall : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

class TComExit : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

class TComBreak : public TComExit {
 public:
  using TComExit::TComExit;
  void Execute(TCallMan& man) override;
};

class TComContinue : public TComExit {
 public:
  using TComExit::TComExit;
  void Execute(TCallMan& man) override;
};

class TComWhile : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

// A command that evaluates its one expression.
class TComRuntime : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

class TComCalc : public TComRuntime {
 public:
  using TComRuntime::TComRuntime;
};

class TComWhileInit : public TComRuntime {
 public:
  using TComRuntime::TComRuntime;
  bool GetContinue() const override { return true; }
};

class TComWhileLoop : public TComWhileInit {
 public:
  using TComWhileInit::TComWhileInit;
  void Execute(TCallMan& man) override;
};

class TComVarNew : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

class TComVarDel : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

class TComDoEvent : public TCommand {
 public:
  using TCommand::TCommand;
  bool GetContinue() const override { return false; }
  bool IsYielding() const override { return true; }
  void Execute(TCallMan& man) override;
};

class TComWait : public TCommand {
 public:
  using TCommand::TCommand;
  void Begin(TCallMan& man) override;
  void Execute(TCallMan& man) override;
  bool BlocksEvents() const override { return FBlockEvents; }
  bool IsYielding() const override { return true; }
  // "kest100", remaining (4), first-tick counter (4), block-events (1).
  void SaveState(TStream& stream) override;
  void LoadState(TStream& stream) override;

 private:
  int32_t FRemaining = 0;
  int32_t FFirstTick = 0;
  bool FBlockEvents = false;
};

}  // namespace kest
