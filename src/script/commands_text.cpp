#include "script/commands_text.h"

#include <span>

#include "common/stream.h"
#include "scene/components/kest_mes.h"
#include "scene/kest_base_list.h"
#include "script/call_man.h"
#include "script/page.h"

namespace kest {

namespace {

TKestMes* MessageWindow(TKestBaseList* scene, const std::string& name) {
  if (!scene || name.empty()) return nullptr;
  TKestControl* control = scene->FindControl(name);
  return control && control->Kind() == LT_MES ? static_cast<TKestMes*>(control) : nullptr;
}

}  // namespace

TKestMes* TComTextIns::Window() const {
  TKestObject* object = FWindow.Get();
  return object && object->Kind() == LT_MES ? static_cast<TKestMes*>(object) : nullptr;
}

void TComTextIns::Begin(TCallMan& man) {
  FLoadedName.clear();
  FBlockEvents = Page().Version >= field::kTextInsBlock.SinceVersion && man.IsTrue(At(field::kTextInsBlock));
  FWindow = TObjectRef();
  FWait = false;
  const std::string& text = At(field::kTextInsText);
  if (text.empty()) return;
  const TCustomParam* name = man.Evaluate(At(field::kTextInsWindow));
  TKestMes* window = MessageWindow(man.Hosts().Scene, name ? name->GetAsStr() : std::string());
  if (!window) return;
  FWindow = window->Ref();
  const bool record = man.IsTrue(At(field::kTextInsHistory));
  window->ShowScriptText(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), Page().Name(), man.Pc(),
                         record);
  FWait = man.IsTrue(At(field::kTextInsWait));
}

void TComTextIns::Execute(TCallMan& man) {
  if (!FLoadedName.empty()) {
    if (TKestMes* found = MessageWindow(man.Hosts().Scene, FLoadedName)) FWindow = found->Ref();
    FLoadedName.clear();
  }
  const TKestMes* window = Window();
  if (window && FWait && window->Playing()) return;
  FWait = false;
  man.SetPc(man.Pc() + 1);
}

void TComTextIns::SaveState(TStream& stream) {
  WriteStateTag(stream);
  WriteStr(stream, FLoadedName.empty() ? FWindow.Name() : FLoadedName);
  WriteFlag(stream, FWait);
  WriteFlag(stream, FBlockEvents);
}

void TComTextIns::LoadState(TStream& stream) {
  const int32_t version = ReadStateTag(stream);
  const std::string name = ReadStr(stream);
  FWait = ReadFlag(stream);
  if (version >= kStateSinceTagged) FBlockEvents = ReadFlag(stream);
  FWindow = TObjectRef();
  FLoadedName = name;
}

void TComTextClr::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  const TCustomParam* name = man.Evaluate(At(field::kWindowName));
  if (TKestMes* window = MessageWindow(man.Hosts().Scene, name ? name->GetAsStr() : std::string())) window->ClearText();
}

}  // namespace kest
