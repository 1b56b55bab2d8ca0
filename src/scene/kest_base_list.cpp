#include "scene/kest_base_list.h"

#include <algorithm>

#include "common/errors.h"
#include "scene/object_names.h"

namespace kest {

namespace {

// Child records nest once per level; a damaged record must not exhaust the stack.
constexpr int kMaxLoadDepth = 200;

const std::string kBase0 =
    "\x01"
    "BASE0";
const std::string kBase1 =
    "\x01"
    "BASE1";

}  // namespace

TKestBaseList::TLoadDepth::TLoadDepth(TKestBaseList& scene) : FScene(scene) {
  if (++FScene.FLoadDepth > kMaxLoadDepth) {
    --FScene.FLoadDepth;
    throw EReadError("Scene record: children nested too deeply");
  }
}

TKestBaseList::TKestBaseList() { MakeBases(); }

void TKestBaseList::MakeBases() {
  FBases[0] = std::make_unique<TKestBase>(*this, 0);
  FBases[1] = std::make_unique<TKestBase>(*this, 1);
}

TKestBaseList::~TKestBaseList() {
  // Children go before their parents, so no control outlives its parent.
  while (!FObjects.empty()) Destroy(*FObjects.back().Object);
}

void TKestBaseList::Register(std::unique_ptr<TKestObject> object) {
  TKestObject& added = *object;
  if (added.TakesAutomaticName())
    added.StoreName(AutomaticName([this](std::string_view name) { return NameTaken(name); }));
  const uint64_t order = FNextOrder++;
  FOrder.emplace(&added, order);
  FObjects.push_back(TEntry{std::move(object), order});
  Index(added, order);
}

void TKestBaseList::Index(TKestObject& object, uint64_t order) {
  if (!object.Name().empty()) FByName.emplace(object.Name(), TNamed{&object, order});
}

void TKestBaseList::Unindex(TKestObject& object) {
  auto [first, last] = FByName.equal_range(object.Name());
  for (auto it = first; it != last; ++it)
    if (it->second.Object == &object) {
      FByName.erase(it);
      return;
    }
}

TKestObject* TKestBaseList::Registered(std::string_view name) const {
  auto [first, last] = FByName.equal_range(name);
  TKestObject* best = nullptr;
  uint64_t best_order = 0;
  // Live names are unique; several objects share one only after a damaged
  // record loaded, and then the first registered answers.
  for (auto it = first; it != last; ++it)
    if (!best || it->second.Order < best_order) {
      best = it->second.Object;
      best_order = it->second.Order;
    }
  return best;
}

size_t TKestBaseList::Position(const TKestObject& object) const {
  const uint64_t order = FOrder.at(&object);
  auto it = std::lower_bound(FObjects.begin(), FObjects.end(), order,
                             [](const TEntry& entry, uint64_t o) { return entry.Order < o; });
  return static_cast<size_t>(it - FObjects.begin());
}

TKestObject* TKestBaseList::FindObject(std::string_view name) {
  if (name.empty() || name == kBase0) return &FrontBase();
  if (name == "\x01" || name == kBase1) return &BackBase();
  return Registered(name);
}

TKestControl* TKestBaseList::FindControl(std::string_view name) {
  if (name.empty()) return &FrontBase();
  if (name == "\x01") return &BackBase();
  if (name == kBase0) return &Base(0);
  if (name == kBase1) return &Base(1);
  TKestObject* object = Registered(name);
  if (object && object->IsControl()) return object->AsControl();
  // A non-visual namesake hides no control: look among all of that name.
  auto [first, last] = FByName.equal_range(name);
  TKestControl* best = nullptr;
  uint64_t best_order = 0;
  for (auto it = first; it != last; ++it)
    if (it->second.Object->IsControl() && (!best || it->second.Order < best_order)) {
      best = it->second.Object->AsControl();
      best_order = it->second.Order;
    }
  return best;
}

int32_t TKestBaseList::ListComponents(std::vector<std::string>& target, uint8_t kind,
                                      const TKestControl* parent) const {
  int32_t added = 0;
  for (const TEntry& entry : FObjects) {
    const TKestObject& object = *entry.Object;
    if (kind != 0 && object.Kind() != kind) continue;
    if (parent && (!object.IsControl() || static_cast<const TKestControl&>(object).Parent() != parent)) continue;
    target.push_back(object.Name());
    ++added;
  }
  return added;
}

void TKestBaseList::AssignName(TKestObject& object, std::string name) {
  // Base screens keep the names they were made with, whatever a record holds.
  if (object.IsBase()) return;
  auto order = FOrder.find(&object);
  if (order == FOrder.end()) {
    object.StoreName(std::move(name));
    return;
  }
  Unindex(object);
  object.StoreName(std::move(name));
  Index(object, order->second);
}

void TKestBaseList::SetName(TKestObject& object, const std::string& name) {
  if (name == object.Name()) return;
  TKestObject* other = Registered(name);
  if (other && other != &object) {
    if (!object.IsControl()) {
      Scrap(*other);
    } else {
      AssignName(*other, CollisionName(name, [this](std::string_view n) { return NameTaken(n); }));
    }
  }
  AssignName(object, name);
}

bool TKestBaseList::IsScrapped(const TKestObject& object) const {
  return std::any_of(FScrapped.begin(), FScrapped.end(), [&](const TObjectRef& r) { return r.Get() == &object; });
}

void TKestBaseList::Scrap(TKestObject& object) {
  if (object.IsBase() || IsScrapped(object)) return;
  FScrapped.push_back(object.Ref());
  if (TKestControl* control = object.AsControl()) control->Invalidate();
  AssignName(object, std::string());
}

void TKestBaseList::DestroyScrapped() {
  // Destroying one object may destroy others on the list (its children):
  // the weak references tell which are gone.
  std::vector<TObjectRef> scrapped = std::move(FScrapped);
  FScrapped.clear();
  for (const TObjectRef& ref : scrapped)
    if (TKestObject* object = ref.Get()) Destroy(*object);
}

void TKestBaseList::Destroy(TKestObject& object) {
  if (object.IsBase() || !FOrder.contains(&object)) return;
  if (TKestControl* control = object.AsControl())
    while (control->ChildCount() > 0) Destroy(*control->Child(control->ChildCount() - 1));
  if (Focused() == &object) {
    FFocused = TObjectRef();
    FFocusRecompute = true;
  }
  std::erase_if(FRightClickClosers, [&](const TObjectRef& r) { return r.Key() == object.Life().get(); });
  FEvents.RemoveWaitingOf(object.Life().get());
  Unindex(object);
  object.Detach();
  const size_t at = Position(object);
  FOrder.erase(&object);
  std::unique_ptr<TKestObject> owned = std::move(FObjects[at].Object);
  FObjects.erase(FObjects.begin() + static_cast<std::ptrdiff_t>(at));
}

void TKestBaseList::Reset() {
  while (!FObjects.empty()) Destroy(*FObjects.back().Object);
  FScrapped.clear();
  FEvents.Clear();
  FRightClickClosers.clear();
  FFocused = TObjectRef();
  // The running wipe mixes the old screens' surfaces, which go now.
  DropTransition();
  MakeBases();
  const int32_t width = FWidth;
  const int32_t height = FHeight;
  SetSceneSize(8, 8);
  // The mouse positions stay in the input latches, so both new screens
  // know where the cursor is.
  SetSceneSize(width, height);
}

void TKestBaseList::PostEvent(TKestComponent& sender, const std::string& reference, const TArrayString& args,
                              uint8_t code) {
  if (reference.empty() || sender.EventsSuppressed()) return;
  switch (code) {
    case PR_ONLBTNDOWN:
    case PR_ONRBTNDOWN:
      if (sender.IsBase() || std::get<bool>(sender.GetProp(PR_PAUSED))) return;
      [[fallthrough]];
    case PR_ONMOUSEMOVE:
    case PR_ONWHEELDOWN:
    case PR_ONWHEELUP:
    case PR_ONIDLE:
    case PR_ONKEYDOWN:
    case PR_ONKEYUP:
    case PR_ONKEYREPEAT:
      if (FEvents.IsWaiting(sender.Ref(), code)) return;
      break;
    default: break;
  }
  TTimerData record;
  record.Reference = reference;
  record.Sender = sender.Ref();
  record.Code = code;
  record.Args = args;
  FEvents.PostEvent(std::move(record));
}

}  // namespace kest
