#pragma once
// Flip: the back base screen comes to the front through a transition, after
// the named controls moved behind; and the restart and end commands.

#include "script/command.h"

namespace kest {

class TComFlip : public TCommand {
 public:
  using TCommand::TCommand;
  void Begin(TCallMan& man) override;
  void Execute(TCallMan& man) override;
  bool IsYielding() const override { return FYields; }
  bool BlocksEvents() const override { return FBlockEvents; }
  void Abandon(TCallMan& man) override;
  // "kest100", block-events (1), scrap (1); a loaded flip ends at once.
  void SaveState(TStream& stream) override;
  void LoadState(TStream& stream) override;

 private:
  // The screens swap; the snapshot goes, and with scrap what is now behind.
  void Finish(TCallMan& man, bool scrapCabinets);
  void MoveChildren(TCallMan& man, int32_t mode, const std::vector<std::string>& names);

  int32_t FStep = 0;  // 0 begun, 1 first tick, 2 running, 3 done
  int64_t FStart = 0;
  int32_t FDuration = 1;
  bool FYields = false;
  bool FBlockEvents = false;
  bool FScrap = false;
};

}  // namespace kest
