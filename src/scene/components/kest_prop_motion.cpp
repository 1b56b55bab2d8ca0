#include "scene/components/kest_prop_motion.h"

#include "common/save_versions.h"
#include "common/stream.h"

namespace kest {

void TKestPropMotion::SaveState(TStream& stream) const {
  TKestComponent::SaveState(stream);
  WriteStr(stream, Target);
  WriteInt(stream, PropertyId);
  WriteExtended(stream, TargetValue);
  WriteInt(stream, Length);
  WriteInt(stream, Curve);
  WriteExtended(stream, StartValue);
  WriteInt(stream, Elapsed);
  WriteFlag(stream, Stopped);
}

void TKestPropMotion::LoadState(TStream& stream, int32_t version) {
  TKestComponent::LoadState(stream, version);
  Target = ReadStr(stream);
  PropertyId = ReadInt(stream);
  TargetValue = ReadExtended(stream);
  Length = ReadInt(stream);
  Curve = ReadInt(stream);
  StartValue = ReadExtended(stream);
  Elapsed = ReadInt(stream);
  if (version >= kSaveSinceMotionStop) Stopped = ReadFlag(stream);
}

}  // namespace kest
