#include "script/commands_terminate.h"

#include "common/app_globals.h"
#include "script/call_man.h"

namespace kest {

void TComTerminate::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  AppTerminating = true;
  if (IGameHost* game = man.Hosts().Game) game->CloseMainWindow();
}

}  // namespace kest
