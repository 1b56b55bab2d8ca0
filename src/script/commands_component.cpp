#include "script/commands_component.h"

#include <algorithm>
#include <exception>

#include "common/errors.h"
#include "common/sjis.h"
#include "language/param_collection.h"
#include "scene/components/kest_images.h"
#include "scene/components/kest_prop_motion.h"
#include "scene/components/media_player.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"
#include "script/call_man.h"
#include "script/page.h"

namespace kest {

namespace {

// The order in which a new component takes its properties: its name and
// parent first, then its picture and size, then the rest.
constexpr int32_t kApplyOrder[] = {
    0,   1,   2,   7,   132, 100, 5,   6,   3,   4,   8,   157, 9,   10,  11,  12,  13,  14,  159, 160, 15,
    16,  17,  18,  19,  20,  21,  22,  23,  24,  153, 154, 155, 156, 25,  26,  27,  28,  29,  162, 30,  31,
    32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,  48,  49,  50,  51,  52,
    53,  54,  55,  56,  57,  58,  59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,  71,  72,  73,
    74,  75,  76,  77,  78,  79,  161, 80,  81,  82,  83,  84,  85,  86,  87,  88,  89,  90,  91,  92,  93,
    94,  95,  96,  97,  98,  99,  101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115,
    116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 133, 134, 135, 136, 137,
    138, 139, 140, 141, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 152, 158, 163, 164};

// Ids a creating command never applies, even when its page stores them: the
// frame image cells, the caret, the emission point, read-only values and the
// plus offsets.
bool NeverApplied(int32_t id) {
  return (id >= 54 && id <= 68) || id == 78 || id == 79 || id == 92 || id == 93 || id == 138 || id == 140 ||
         id == 159 || id == 160 || id == 161;
}

// What an id takes when its expression gives nothing.
TPropValue CreationDefault(const TPropertyInfo& info) {
  switch (info.Id) {
    case PR_ZOOMX:
    case PR_ZOOMY:
    case PR_TEXTDELAY: return int32_t{256};
    case PR_COLOR:
    case PR_BORDERCOLOR:
    case PR_HOVERCOLOR: return int32_t{-1};
    case PR_ALPHA: return int32_t{255};
    case PR_FONTHEIGHT: return int32_t{16};
    case PR_VOLUME: return int32_t{1000};
    case PR_VISIBLE:
    case PR_OVERLAY: return true;
    case PR_COLCOUNT:
    case PR_ROWCOUNT:
    case PR_AMP:
    case PR_SMALLCHANGE:
    case PR_LARGECHANGE:
    case PR_GLYPHWIDTH:
    case PR_GLYPHHEIGHT: return int32_t{1};
    case PR_WAVELEN: return int32_t{100};
    default: break;
  }
  switch (info.Type) {
    case TPropType::Int: return int32_t{0};
    case TPropType::Float: return 0.0L;
    case TPropType::Bool: return false;
    case TPropType::Str: break;
  }
  return std::string();
}

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
  WriteProperty(object, id, value ? Typed(info, *value) : CreationDefault(info));
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

TComponentKind TComComponent::CreatedKind() const {
  switch (GetCommandId()) {
    case ciBoxNew: return LT_BOX;
    case ciImgNew: return LT_IMAGES;
    case ciMesNew: return LT_MES;
    case ciTimer: return LT_TIMER;
    case ciMovie: return LT_VIDEO;
    case ciCinema: return LT_CINEMA;
    case ciCaption: return LT_LABEL;
    case ciMenu: return LT_MENU;
    case ciButton: return LT_BUTTON;
    case ciParticleNew: return LT_PARTICLE;
    case ciFireNew: return LT_FIRE;
    case ciSound: return LT_SOUND;
    case ciEditNew: return LT_EDIT;
    case ciMemoNew: return LT_MEMO;
    case ciMapImgNew: return LT_MAPIMG;
    case ciWaveNew: return LT_WAVE;
    case ciTileNew: return LT_TILE;
    case ciSliderNew: return LT_SLIDER;
    case ciScrollbarNew: return LT_SCROLLBAR;
    case ciGaugeNew: return LT_GAUGE;
    case ciCGCaption: return LT_CGLABEL;
    case ciPrevMenuNew: return LT_PREVMENU;
    default: return LT_NONE;
  }
}

void TComComponent::BeforeProperties(TCallMan&, TKestObject& object) {
  // An animation's last frame lasts longer by the value of the delay given.
  if (GetCommandId() == ciImgNew)
    if (TKestParser* extra = Property(PR_DELAY)) static_cast<TKestCustomImages&>(object).SetLastFrameExtra(*extra);
}

void TComComponent::AfterProperties(TCallMan&, TKestObject& object) {
  // Sounds and movies start, fading in when they were given a fade time.
  if (IMediaPlayer* player = AsMediaPlayer(object))
    player->SetPlayState(std::get<int32_t>(object.GetProp(PR_DELAY)) > 0 ? kPlayStateFadingIn : kPlayStatePlaying);
}

void TComComponent::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  TKestBaseList* scene = man.Hosts().Scene;
  const TComponentKind kind = CreatedKind();
  if (!scene || kind == LT_NONE) return;
  TKestObject* object = scene->CreateByKind(kind);
  if (!object) return;
  BeforeProperties(man, *object);
  // A page that names no parent puts the control on the front screen too.
  if (TKestControl* control = object->AsControl(); control && !Property(PR_PARENT))
    control->SetParent(&scene->FrontBase());
  // A property that fails (a picture that cannot be read, say) keeps none of
  // the others from the object; the command fails with the first reason once
  // they are all given.
  std::exception_ptr failed;
  for (int32_t id : kApplyOrder) {
    TKestParser* expression = NeverApplied(id) ? nullptr : Property(id);
    if (!expression) continue;
    try {
      Apply(*scene, *object, id, man.Evaluate(*expression));
    } catch (const EKestError&) {
      if (!failed) failed = std::current_exception();
    }
  }
  if (TKestControl* control = object->AsControl()) control->Invalidate();
  AfterProperties(man, *object);
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
