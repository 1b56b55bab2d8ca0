#include "script/commands_pending.h"

#include "common/app_globals.h"
#include "script/call_man.h"

namespace kest {

TKestParser* TComComponent::Property(int32_t id) {
  auto& props = At(field::kComponentProps).Props;
  return id >= 0 && static_cast<size_t>(id) < props.size() ? props[static_cast<size_t>(id)].get() : nullptr;
}

void TComTerminate::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  AppTerminating = true;
  if (IGameHost* game = man.Hosts().Game) game->CloseMainWindow();
}

}  // namespace kest
