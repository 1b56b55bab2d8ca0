#pragma once
// The history commands: CallHist shows a stretch of a history in a message
// window, FormatHist names a history and takes its layout from a sample
// window, ClrHist empties every history and ClrRead forgets the read marks.

#include "script/command.h"

namespace kest {

class TComCallHist : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

class TComEntryHist : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

class TComClrHist : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

class TComClrRead : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

}  // namespace kest
