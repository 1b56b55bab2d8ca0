#pragma once
// The story text commands: TextIns shows a page's stored text in a message
// window (and may hold the script until it has been shown), TextClr empties
// a window.

#include "scene/object_handle.h"
#include "script/command.h"

namespace kest {

class TKestMes;

class TComTextIns : public TCommand {
 public:
  using TCommand::TCommand;
  void Begin(TCallMan& man) override;
  void Execute(TCallMan& man) override;
  bool IsYielding() const override { return FWait; }
  bool BlocksEvents() const override { return FBlockEvents; }
  // "kest100", the window's name, wait (1), block-events (1).
  void SaveState(TStream& stream) override;
  void LoadState(TStream& stream) override;

 private:
  TKestMes* Window() const;

  TObjectRef FWindow;
  // A loaded command finds its window by this name when it next runs.
  std::string FLoadedName;
  bool FWait = false;
  bool FBlockEvents = false;
};

class TComTextClr : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

}  // namespace kest
