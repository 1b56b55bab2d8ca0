#include "script/commands_component.h"

#include <algorithm>
#include <exception>

#include "common/errors.h"
#include "common/sjis.h"
#include "language/param_collection.h"
#include "scene/components/kest_prop_motion.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"
#include "script/call_man.h"
#include "script/page.h"

namespace kest {

namespace {

TPropValue Typed(const TPropertyInfo& info, const TCustomParam& value) {
  switch (info.Type) {
    case TPropType::Int: return value.GetAsInt();
    case TPropType::Float: return value.GetAsFloat();
    case TPropType::Bool: return value.GetAsFlag();
    case TPropType::Str: break;
  }
  return value.GetAsStr();
}

void Apply(TKestBaseList& scene, TKestObject& object, int32_t id, const TCustomParam* value) {
  const TPropertyInfo& info = *PropertyInfo(id);
  switch (id) {
    case PR_NAME:
      // Only a name given keeps the object from its automatic one.
      if (value && !value->GetAsStr().empty()) object.SetName(value->GetAsStr());
      return;
    case PR_PARENT: {
      TKestControl* control = object.AsControl();
      if (!control) return;
      const std::string name = value ? value->GetAsStr() : std::string();
      TKestControl* parent = name.empty() ? nullptr : scene.FindControl(name);
      control->SetParent(parent ? parent : &scene.FrontBase());
      return;
    }
    default: break;
  }
  WriteProperty(object, id, value ? Typed(info, *value) : CreationValue(info));
}

// The object a property command names: an empty name (or none) is the front
// base screen.
TKestObject* NamedObject(TCallMan& man, TKestParser& expression) {
  TKestBaseList* scene = man.Hosts().Scene;
  if (!scene) return nullptr;
  const TCustomParam* name = man.Evaluate(expression);
  return scene->FindObject(name ? name->GetAsStr() : std::string());
}

int32_t PropertyId(TCallMan& man, TKestParser& expression) {
  const TCustomParam* id = man.Evaluate(expression);
  if (!id) throw EKestError(Utf8ToCp932("プロパティ指定が不正です"));
  return id->GetAsInt();
}

}  // namespace

TKestParser* TComComponent::Property(int32_t id) {
  auto& props = At(field::kComponentProps).Props;
  return id >= 0 && static_cast<size_t>(id) < props.size() ? props[static_cast<size_t>(id)].get() : nullptr;
}

namespace {

// The page's expressions of a component command, as the object it made asks.
class TCommandCreation final : public ICreation {
 public:
  explicit TCommandCreation(TComComponent& command) : FCommand(command) {}
  TKestParser* Expression(int32_t id) override { return FCommand.Property(id); }

 private:
  TComComponent& FCommand;
};

}  // namespace

void TComComponent::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  TKestBaseList* scene = man.Hosts().Scene;
  const TComponentKind kind = Layout().Creates;
  if (!scene || kind == LT_NONE) return;
  TKestObject* object = scene->CreateByKind(kind);
  if (!object) return;
  TCommandCreation creation(*this);
  object->Creating(creation);
  // A page that names no parent puts the control on the front screen too.
  if (TKestControl* control = object->AsControl(); control && !Property(PR_PARENT))
    control->SetParent(&scene->FrontBase());
  // A property that fails (a picture that cannot be read, say) keeps none of
  // the others from the object; the command fails with the first reason once
  // they are all given.
  std::exception_ptr failed;
  for (int32_t id : CreationOrder()) {
    TKestParser* expression = Property(id);
    if (!expression) continue;
    try {
      Apply(*scene, *object, id, man.Evaluate(*expression));
    } catch (const EKestError&) {
      if (!failed) failed = std::current_exception();
    }
  }
  if (TKestControl* control = object->AsControl()) control->Invalidate();
  object->Created();
  if (failed) std::rethrow_exception(failed);
}

void TComGetProp::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  TKestObject* object = NamedObject(man, At(field::kGetPropObject));
  if (!object) return;
  const int32_t id = PropertyId(man, At(field::kGetPropId));
  TParamCollectionItem* target = man.Vars().FindVar(At(field::kGetPropVar));
  if (target && target->Value()) GetProperty(*object, id, *target->Value());
}

void TComSetProp::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  TKestObject* object = NamedObject(man, At(field::kSetPropObject));
  if (!object) return;
  const int32_t id = PropertyId(man, At(field::kSetPropId));
  if (const TCustomParam* value = man.Evaluate(At(field::kSetPropValue))) SetProperty(*object, id, *value);
}

void TComObjDel::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  TKestBaseList* scene = man.Hosts().Scene;
  const TCustomParam* name = man.Evaluate(At(field::kObjectName));
  if (!scene || !name || name->GetAsStr().empty()) return;
  if (TKestObject* object = scene->FindObject(name->GetAsStr())) scene->Scrap(*object);
}

void TComPropMotion::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  TKestBaseList* scene = man.Hosts().Scene;
  if (!scene) return;
  auto& motion = scene->Create<TKestPropMotion>();
  if (const TCustomParam* name = man.Evaluate(At(field::kPropMotionName)); name && !name->GetAsStr().empty())
    motion.SetName(name->GetAsStr());
  if (const TCustomParam* target = man.Evaluate(At(field::kPropMotionTarget)); target && !target->GetAsStr().empty())
    motion.Target = target->GetAsStr();
  motion.PropertyId = PropertyId(man, At(field::kPropMotionId));
  if (const TCustomParam* value = man.Evaluate(At(field::kPropMotionValue))) motion.TargetValue = value->GetAsFloat();
  if (const TCustomParam* length = man.Evaluate(At(field::kPropMotionLength))) motion.Length = length->GetAsInt();
  if (const TCustomParam* curve = man.Evaluate(At(field::kPropMotionCurve))) motion.Curve = curve->GetAsInt();
  if (Page().Version >= field::kPropMotionStopped.SinceVersion)
    if (const TCustomParam* stopped = man.Evaluate(At(field::kPropMotionStopped)))
      motion.Stopped = stopped->GetAsFlag();
}

}  // namespace kest
