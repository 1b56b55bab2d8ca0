// The scene's record in saved games: its size, the two base screens with
// their trees, the non-visual components, the event queue and the focus.
#include "common/errors.h"
#include "common/save_versions.h"
#include "common/stream.h"
#include "scene/components/kest_mes.h"
#include "scene/kest_base_list.h"

namespace kest {

namespace {

// Scenes are screen-sized; a damaged record must not make gigabyte surfaces.
constexpr int32_t kMaxSceneSide = 4096;

bool IsSavedComponent(const TKestObject& object) {
  const std::string& name = object.Name();
  return !object.IsControl() && !name.empty() && name[0] != '\x01' && object.Kind() != LT_NONE;
}

}  // namespace

void TKestBaseList::SaveState(TStream& stream) {
  WriteInt(stream, FWidth);
  WriteInt(stream, FHeight);
  WriteInt(stream, FFrontIndex);
  FBases[0]->SaveState(stream);
  FBases[1]->SaveState(stream);
  int32_t count = 0;
  for (const TEntry& entry : FObjects) count += IsSavedComponent(*entry.Object) ? 1 : 0;
  WriteInt(stream, count);
  for (const TEntry& entry : FObjects) {
    if (!IsSavedComponent(*entry.Object)) continue;
    WriteByte(stream, entry.Object->Kind());
    entry.Object->SaveState(stream);
  }
  FEvents.SaveToStream(stream);
  TKestControl* focused = Focused();
  WriteStr(stream, focused ? focused->Name() : std::string());
}

void TKestBaseList::LoadState(TStream& stream, int32_t version) {
  LoadRecord(stream, version);
  RestoreTexts();
}

void TKestBaseList::RestoreTexts() {
  for (const TEntry& entry : FObjects)
    if (entry.Object->Kind() == LT_MES) static_cast<TKestMes&>(*entry.Object).RestoreText();
}

void TKestBaseList::LoadRecord(TStream& stream, int32_t version) {
  Reset();
  const int32_t width = ReadInt(stream);
  const int32_t height = ReadInt(stream);
  if (width < 0 || height < 0 || width > kMaxSceneSide || height > kMaxSceneSide)
    throw EReadError("Scene record: bad scene size");
  SetSceneSize(width, height);
  SetFrontIndex(ReadInt(stream));
  FBases[0]->LoadState(stream, version);
  FBases[1]->LoadState(stream, version);
  FBases[0]->InvalidateAll();
  FBases[1]->InvalidateAll();
  const int32_t count = ReadInt(stream);
  if (count < 0) throw EReadError("Scene record: negative component count");
  RequireRemaining(stream, count);
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t kind = ReadByte(stream);
    TKestObject* object = CreateByKind(kind);
    if (!object || object->IsControl()) {
      if (object) Destroy(*object);
      throw EReadError("Scene record: a component of kind " + std::to_string(kind) + " cannot be loaded");
    }
    object->LoadState(stream, version);
  }
  FEvents.LoadFromStream(stream, version, [this](const std::string& name) {
    TKestObject* object = FindObject(name);
    return object ? object->Life() : nullptr;
  });
  if (version < kSaveSinceFocus) return;
  const std::string focused = ReadStr(stream);
  if (focused.empty()) return;
  if (TKestControl* control = FindControl(focused)) {
    FFocused = control->Ref();
    control->FocusGained();
    FFocusRecompute = false;
  }
}

}  // namespace kest
