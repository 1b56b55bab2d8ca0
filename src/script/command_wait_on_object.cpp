#include "script/command_wait_on_object.h"

#include "common/stream.h"
#include "scene/kest_object.h"

namespace kest {

void TComWaitOnObject::Restart(bool blockEvents) {
  FLoadedName.clear();
  FTarget = TObjectRef();
  FWait = false;
  FBlockEvents = blockEvents;
}

void TComWaitOnObject::Hold(TKestObject& object) { FTarget = object.Ref(); }

TKestObject* TComWaitOnObject::Held(TCallMan& man) {
  if (!FLoadedName.empty()) {
    if (TKestObject* found = FindLoaded(man, FLoadedName)) FTarget = found->Ref();
    FLoadedName.clear();
  }
  return FTarget.Get();
}

void TComWaitOnObject::SaveState(TStream& stream) {
  WriteStateTag(stream);
  WriteStr(stream, FLoadedName.empty() ? FTarget.Name() : FLoadedName);
  WriteFlag(stream, FWait);
  WriteFlag(stream, FBlockEvents);
}

void TComWaitOnObject::LoadState(TStream& stream) {
  const int32_t version = ReadStateTag(stream);
  FLoadedName = ReadStr(stream);
  FWait = ReadFlag(stream);
  if (version >= kStateSinceTagged) FBlockEvents = ReadFlag(stream);
  FTarget = TObjectRef();
}

}  // namespace kest
