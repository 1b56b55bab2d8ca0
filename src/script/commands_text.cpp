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

void TComTextIns::Begin(TCallMan& man) {
  Restart(Page().Version >= field::kTextInsBlock.SinceVersion && man.IsTrue(At(field::kTextInsBlock)));
  const std::string& text = At(field::kTextInsText);
  if (text.empty()) return;
  const TCustomParam* name = man.Evaluate(At(field::kTextInsWindow));
  TKestMes* window = MessageWindow(man.Hosts().Scene, name ? name->GetAsStr() : std::string());
  if (!window) return;
  Hold(*window);
  const bool record = man.IsTrue(At(field::kTextInsHistory));
  window->ShowScriptText(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), Page().Name(), man.Pc(),
                         record);
  SetWait(man.IsTrue(At(field::kTextInsWait)));
}

void TComTextIns::Execute(TCallMan& man) {
  TKestObject* held = Held(man);
  const auto* window = held && held->Kind() == LT_MES ? static_cast<const TKestMes*>(held) : nullptr;
  if (window && Waits() && window->Playing()) return;
  SetWait(false);
  man.SetPc(man.Pc() + 1);
}

TKestObject* TComTextIns::FindLoaded(TCallMan& man, const std::string& name) {
  return MessageWindow(man.Hosts().Scene, name);
}

void TComTextClr::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  const TCustomParam* name = man.Evaluate(At(field::kWindowName));
  if (TKestMes* window = MessageWindow(man.Hosts().Scene, name ? name->GetAsStr() : std::string())) window->ClearText();
}

}  // namespace kest
