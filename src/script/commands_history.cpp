#include "script/commands_history.h"

#include "scene/components/kest_mes.h"
#include "scene/kest_base_list.h"
#include "script/call_man.h"
#include "script/page.h"

namespace kest {

namespace {

std::string TextOf(TCallMan& man, TKestParser& expression) {
  const TCustomParam* value = man.Evaluate(expression);
  return value ? value->GetAsStr() : std::string();
}

}  // namespace

void TComCallHist::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  TKestBaseList* scene = man.Hosts().Scene;
  const std::string name = TextOf(man, At(field::kCallHistWindow));
  TKestControl* control = scene && !name.empty() ? scene->FindControl(name) : nullptr;
  if (!control || control->Kind() != LT_MES) return;
  const TCustomParam* first = man.Evaluate(At(field::kCallHistFirst));
  if (!first) return;
  const int32_t start = first->GetAsInt();
  const TCustomParam* countValue = man.Evaluate(At(field::kCallHistCount));
  const int32_t count = countValue ? countValue->GetAsInt() : 1;
  const std::string history =
      Page().Version >= field::kCallHistName.SinceVersion ? TextOf(man, At(field::kCallHistName)) : std::string();
  TKestHistoryFormat* format = scene->Story().History.Find(history);
  if (!format) return;
  auto& window = static_cast<TKestMes&>(*control);
  const bool flag = man.IsTrue(At(field::kCallHistFlag));
  window.SetHistoryFlag(flag);
  const auto range = ClampShowRange(start, count, format->History->Count());
  if (!range) return;
  const int32_t offset = format->History->Show(range->first, range->second, window.DisplaySource());
  window.ShowHistory(flag, offset);
}

void TComEntryHist::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  TKestBaseList* scene = man.Hosts().Scene;
  if (!scene) return;
  const std::string sample = TextOf(man, At(field::kFormatHistSample));
  TKestObject* object = sample.empty() ? nullptr : scene->FindObject(sample);
  const std::string history =
      Page().Version >= field::kFormatHistName.SinceVersion ? TextOf(man, At(field::kFormatHistName)) : std::string();
  TKestHistoryFormat& format = scene->Story().History.FindOrCreate(history);
  THistorySettings settings;
  if (object) {
    auto number = [object](int32_t id) {
      const TPropValue value = object->GetProp(id);
      return std::holds_alternative<int32_t>(value) ? std::get<int32_t>(value) : 0;
    };
    settings = {number(PR_FONTHEIGHT), number(PR_FONTBORDER), number(PR_FONTSHADOW),
                number(PR_WIDTH),      number(PR_HEIGHT),     number(PR_LINESPACE)};
  }
  static_cast<THistorySettings&>(format) = settings;
}

void TComClrHist::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  if (TKestBaseList* scene = man.Hosts().Scene) scene->Story().History.ClearAll();
}

void TComClrRead::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  if (TKestBaseList* scene = man.Hosts().Scene) scene->Story().ReadList.Clear();
}

}  // namespace kest
