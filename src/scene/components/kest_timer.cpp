#include "scene/components/kest_timer.h"

#include "common/save_versions.h"
#include "common/stream.h"
#include "scene/kest_base_list.h"

namespace kest {

TKestTimer::TKestTimer(TKestBaseList& scene) : TKestComponent(scene), FLastTick(scene.Clock().GameTime) {}

TPropValue TKestTimer::GetProp(int32_t id) const {
  switch (id) {
    case PR_ONNOTIFY: return FNotify;
    case PR_DELAY: return FInterval;
    case PR_PAUSED: return FStopped;
    case PR_AUTOSCRAP: return FAutoScrap;
    default: return TKestComponent::GetProp(id);
  }
}

// Scripts that write the same value every frame must not hold the timer back.
template <class T>
void TKestTimer::Change(T& field, T value) {
  if (field == value) return;
  field = std::move(value);
  Restart();
}

void TKestTimer::SetProp(int32_t id, TPropValue value) {
  switch (id) {
    case PR_ONNOTIFY: return Change(FNotify, std::get<std::string>(std::move(value)));
    case PR_DELAY: return Change(FInterval, std::get<int32_t>(value));
    case PR_PAUSED: return Change(FStopped, std::get<bool>(value));
    case PR_AUTOSCRAP: FAutoScrap = std::get<bool>(value); return;
    default: return TKestComponent::SetProp(id, std::move(value));
  }
}

void TKestTimer::Restart() {
  Scene().Events().RemoveWaitingOf(Life().get());
  FLastTick = Clock().GameTime;
}

bool TKestTimer::NotifyWaits() const { return Scene().Events().IsWaiting(Ref(), PR_ONNOTIFY); }

bool TKestTimer::Update() {
  if (FFired && FAutoScrap) return !NotifyWaits();
  if (FInterval < 0 || FStopped) return false;
  if (FInterval > 0 && Clock().GameTime - FLastTick < FInterval) return false;
  // The interval moves on even while an event waits, so a script that was
  // busy for several intervals gets one event, not a burst of catching up.
  FLastTick += FInterval;
  if (NotifyWaits()) return false;
  Scene().PostEvent(*this, FNotify, TArrayString(), PR_ONNOTIFY);
  FFired = true;
  return false;
}

void TKestTimer::SaveState(TStream& stream) const {
  TKestComponent::SaveState(stream);
  WriteStr(stream, FNotify);
  WriteInt(stream, FInterval);
  WriteFlag(stream, FStopped);
  WriteFlag(stream, FAutoScrap);
  WriteFlag(stream, FFired);
}

void TKestTimer::LoadState(TStream& stream, int32_t version) {
  TKestComponent::LoadState(stream, version);
  FNotify = ReadStr(stream);
  FInterval = ReadInt(stream);
  FStopped = ReadFlag(stream);
  if (version >= kSaveSinceClips) {
    FAutoScrap = ReadFlag(stream);
    FFired = ReadFlag(stream);
  }
  FLastTick = Clock().GameTime;
}

}  // namespace kest
