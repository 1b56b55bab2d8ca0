#include "script/commands_save.h"

#include <algorithm>

#include "scene/kest_base_list.h"
#include "script/call_man.h"
#include "script/page.h"

namespace kest {

namespace {

std::string TextOf(TCallMan& man, TKestParser* expression) {
  const TCustomParam* value = expression ? man.Evaluate(*expression) : nullptr;
  return value ? value->GetAsStr() : std::string();
}

int32_t SlotOf(TCallMan& man, TKestParser& expression) {
  const TCustomParam* value = man.Evaluate(expression);
  return value ? value->GetAsInt() : 0;
}

}  // namespace

void TComGameSave::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  const int32_t slot = SlotOf(man, At(field::kGameSaveSlot));
  const int32_t pc = Page().Version >= field::kGameSavePc.SinceVersion ? At(field::kGameSavePc) : 0;
  std::string title = TextOf(man, &At(field::kGameSaveTitle));
  if (IGameRequests* saves = man.Hosts().Saves)
    saves->RequestSave(slot, std::move(title), At(field::kGameSavePage), pc);
}

void TComGameLoad::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  const int32_t slot = SlotOf(man, At(field::kGameLoadSlot));
  if (IGameRequests* saves = man.Hosts().Saves) saves->RequestLoad(slot);
}

std::string TComCabinet::CabinetName(TCallMan& man) { return TextOf(man, Property(PR_NAME)); }

void TComCabinet::MoveMatching(TCallMan& man, TKestControl& from, TKestControl& to) {
  const bool invert = man.IsTrue(At(field::kCabinetInvert));
  std::vector<std::string> names;
  for (TKestParser& name : At(field::kCabinetNames)) names.push_back(TextOf(man, &name));
  // Moving a child changes the list walked: a copy is walked instead.
  const std::vector<TKestControl*> children = from.Children();
  for (auto child = children.rbegin(); child != children.rend(); ++child) {
    const bool listed = std::find(names.begin(), names.end(), (*child)->Name()) != names.end();
    if (listed != invert) (*child)->SetParent(&to);
  }
}

void TComCabinetSave::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  TKestBaseList* scene = man.Hosts().Scene;
  if (!scene) return;
  const std::string name = CabinetName(man);
  TKestObject* found = name.empty() ? nullptr : scene->FindObject(name);
  TKestControl* cabinet = found && found->Kind() == LT_CABINET ? static_cast<TKestControl*>(found) : nullptr;
  if (!cabinet) {
    cabinet = static_cast<TKestControl*>(scene->CreateByKind(LT_CABINET));
    if (!name.empty()) scene->SetName(*cabinet, name);
    cabinet->SetParent(&scene->Base(0));
  }
  MoveMatching(man, scene->BackBase(), *cabinet);
  if (cabinet->ChildCount() == 0) scene->Scrap(*cabinet);
}

void TComCabinetLoad::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  TKestBaseList* scene = man.Hosts().Scene;
  if (!scene) return;
  const std::string name = CabinetName(man);
  TKestObject* found = name.empty() ? nullptr : scene->FindObject(name);
  if (!found || found->Kind() != LT_CABINET) return;
  auto& cabinet = static_cast<TKestControl&>(*found);
  MoveMatching(man, cabinet, scene->BackBase());
  if (cabinet.ChildCount() == 0) scene->Scrap(cabinet);
}

}  // namespace kest
