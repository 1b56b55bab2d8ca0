#include "scene/kest_object.h"

#include "common/save_versions.h"
#include "common/stream.h"
#include "scene/kest_base_list.h"
#include "scene/kest_control.h"

namespace kest {

TPropValue DefaultValue(const TPropertyInfo& info) {
  switch (info.Type) {
    case TPropType::Int: return info.Default;
    case TPropType::Float: return 0.0L;
    case TPropType::Bool: return false;
    case TPropType::Str: break;
  }
  return std::string();
}

TPropValue CreationValue(const TPropertyInfo& info) {
  switch (info.Type) {
    case TPropType::Int: return info.Creation;
    case TPropType::Float: return 0.0L;
    case TPropType::Bool: return info.Creation != 0;
    case TPropType::Str: break;
  }
  return std::string();
}

const TGameClock& TKestObject::Clock() const { return FScene->Clock(); }

TKestObject::TKestObject(TKestBaseList& scene) : FScene(&scene), FLife(std::make_shared<TObjectLife>()) {
  FLife->Object = this;
}

TKestObject::~TKestObject() { FLife->Object = nullptr; }

void TKestObject::SetName(const std::string& name) { FScene->SetName(*this, name); }

void TKestObject::SetPriority(int32_t priority) {
  if (priority == FPriority) return;
  FPriority = priority;
  FPriorityOffset = 0;
}

TKestControl* TKestObject::AsControl() { return IsControl() ? static_cast<TKestControl*>(this) : nullptr; }

TPropValue TKestObject::GetProp(int32_t id) const {
  switch (id) {
    case PR_NAME: return Name();
    case PR_TAG: return FTag;
    case PR_PRIORITY: return FPriority;
    case PR_COMPOTYPE: return static_cast<int32_t>(Kind());
    default: break;
  }
  const TPropertyInfo& info = *PropertyInfo(id);
  if (Keeps(info))
    for (const auto& [kept, value] : FKept)
      if (kept == id) return value;
  return DefaultValue(info);
}

void TKestObject::SetProp(int32_t id, TPropValue value) {
  if (id == PR_TAG) {
    FTag = std::get<std::string>(std::move(value));
    return;
  }
  const TPropertyInfo& info = *PropertyInfo(id);
  if (info.ReadOnly || !Keeps(info)) return;
  for (auto& [kept, stored] : FKept)
    if (kept == id) {
      stored = std::move(value);
      return;
    }
  FKept.emplace_back(static_cast<uint8_t>(id), std::move(value));
}

void TKestObject::SaveState(TStream& stream) const {
  WriteStr(stream, Name());
  WriteInt(stream, FPriority);
  WriteInt(stream, FPriorityOffset);
  WriteStr(stream, FTag);
}

void TKestObject::LoadState(TStream& stream, int32_t version) {
  FScene->AssignName(*this, ReadStr(stream));
  FPriority = ReadInt(stream);
  if (version >= kSaveSinceClips) FPriorityOffset = ReadInt(stream);
  if (version >= kSaveSinceTag) FTag = ReadStr(stream);
}

}  // namespace kest
