#include "script/commands_reset.h"

#include "language/param_collection.h"
#include "scene/event_queue.h"
#include "scene/kest_base_list.h"
#include "script/call_man.h"
#include "script/page.h"

namespace kest {

void TComPCReset::Execute(TCallMan& man) {
  if (At(field::kPCResetFlag) != 0)
    RestartAll(man);
  else
    Redirect(man);
}

void TComPCReset::RestartAll(TCallMan& man) {
  const std::string page = At(field::kPCResetPage);
  const int32_t pc = At(field::kPCResetPc);
  TStackList& stack = man.Stack();
  man.Vars().DeleteOwned(stack.Count());
  // Every call in progress ends: its locals go, and a command waiting in it
  // (a flip, say) finishes at once.
  for (int32_t depth = stack.Count() - 1; depth >= 0; --depth) {
    TStack& frame = stack.Items(depth);
    man.Vars().DeleteOwned(depth);
    if (frame.Sender.IsSet() || !frame.Entered || !man.EnsureFile(frame.PageName)) continue;
    try {
      TPage* caller = man.GetPage(frame.PageName, false);
      if (TCommand* command = caller->Commands().Items(frame.Pc)) {
        if (frame.State) {
          frame.State->Seek(0);
          command->LoadState(*frame.State);
        }
        command->Abandon(man);
      }
    } catch (const std::exception&) {
      // A page that cannot be read has nothing to finish.
    }
  }
  man.Start(page);
  man.SetPc(pc);
  if (TTimerList* events = man.Events()) events->Clear();
}

void TComPCReset::Redirect(TCallMan& man) {
  const std::string page = At(field::kPCResetPage);
  const int32_t pc = At(field::kPCResetPc);
  TStackList& stack = man.Stack();
  man.Vars().DeleteOwned(stack.Count());
  // Below the lowest event handler lies the main script's own context.
  int32_t limit = -1;
  for (int32_t i = 0; i < stack.Count() && limit < 0; ++i)
    if (stack.Items(i).Sender.IsSet()) limit = i;
  if (limit < 0 && !man.Sender().Name().empty()) limit = stack.Count();
  int32_t target = -1;
  for (int32_t i = (limit < 0 ? stack.Count() : limit) - 1; i >= 0 && target < 0; --i)
    if (!stack.Items(i).Sender.IsSet()) target = i;
  if (limit >= 0 && target >= 0) {
    TStack& frame = stack.Items(target);
    frame.PageName = page;
    frame.Pc = pc;
    frame.Entered = false;
    frame.ResultVar.clear();
    frame.Args.Clear();
    frame.State.reset();
    man.Vars().DeleteOwned(target);
    man.SetPc(man.Pc() + 1);
  } else if (man.EnsureFile(page)) {
    man.SetCurrentPage(man.GetPage(page, true), pc);
  } else {
    man.SetPc(man.Pc() + 1);
  }
  if (TTimerList* events = man.Events()) events->RemoveAllRunning();
}

void TComReset::Execute(TCallMan& man) {
  const std::string page = At(field::kPCResetPage);
  const int32_t pc = At(field::kPCResetPc);
  if (TKestBaseList* scene = man.Hosts().Scene) {
    scene->Reset();
    // A game back at its title starts a new story: the last play's screenfuls
    // and the histories it made by name go.
    scene->Story().History.Reset();
  }
  // Status variables stay: they belong to every game of the title.
  man.Vars().ClearGameVars();
  man.Start(page);
  man.SetPc(pc);
}

}  // namespace kest
