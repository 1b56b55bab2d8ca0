#include "scene/kest_control.h"

#include <algorithm>
#include <cstring>

#include "common/errors.h"
#include "common/save_versions.h"
#include "common/state_io.h"
#include "common/stream.h"
#include "scene/kest_base.h"
#include "scene/kest_base_list.h"
#include "scene/kest_motion.h"

namespace kest {

namespace {

// Nothing qualifies as a saved child unless it is alive, of a real kind and
// not one of the player's own helpers (names that begin with 0x01).
bool IsSavedChild(const TKestControl& child) {
  const std::string& name = child.Name();
  return !name.empty() && name[0] != '\x01' && child.Kind() != LT_NONE;
}

}  // namespace

TKestControl::TKestControl(TKestBaseList& scene) : TKestComponent(scene) { scene.ControlCreated(); }

TKestControl::~TKestControl() = default;

int32_t TKestControl::EventSlot(int32_t id) {
  if (id >= PR_ONMOUSEMOVE && id <= PR_ONWHEELUP) return id - PR_ONMOUSEMOVE;
  switch (id) {
    case PR_ONMOUSEIN: return 8;
    case PR_ONKEYDOWN: return 9;
    case PR_ONKEYUP: return 10;
    case PR_ONKEYREPEAT: return 11;
    case PR_ONFOCUSIN: return 12;
    case PR_ONFOCUSOUT: return 13;
    default: return -1;
  }
}

const std::string& TKestControl::EventReference(int32_t id) const {
  static const std::string kNone;
  const int32_t slot = EventSlot(id);
  return slot < 0 ? kNone : FEvents[static_cast<size_t>(slot)];
}

TPropValue TKestControl::GetProp(int32_t id) const {
  const TPropertyInfo& info = *PropertyInfo(id);
  if (!Keeps(info)) return DefaultValue(info);
  switch (id) {
    case PR_LEFT: return FLeft;
    case PR_TOP: return FTop;
    case PR_WIDTH: return FWidth;
    case PR_HEIGHT: return FHeight;
    case PR_OFFSETX: return FAnchorX;
    case PR_OFFSETY: return FAnchorY;
    case PR_COLOR: return FColor;
    case PR_VISIBLE: return Visible();
    case PR_IGNOREMOUSE: return static_cast<int32_t>(FIgnoreMouse);
    case PR_CURSOR: return FCursor;
    case PR_POSZOOMED: return FPosZoomed;
    case PR_CLIPLEFT: return FClipLeft;
    case PR_CLIPTOP: return FClipTop;
    case PR_CLIPWIDTH: return FClipWidth;
    case PR_CLIPHEIGHT: return FClipHeight;
    case PR_PLUSX: return FPlusX;
    case PR_PLUSY: return FPlusY;
    case PR_HANDLEKEY: return FHandleKey;
    case PR_ANIPAUSED:
      // The player's own helpers pause with the control they belong to.
      if (!Name().empty() && Name()[0] == '\x01' && FParent) return FParent->GetProp(PR_ANIPAUSED);
      return FAniPaused;
    default: break;
  }
  const int32_t slot = EventSlot(id);
  if (slot >= 0) return FEvents[static_cast<size_t>(slot)];
  return TKestComponent::GetProp(id);
}

void TKestControl::SetProp(int32_t id, TPropValue value) {
  const TPropertyInfo& info = *PropertyInfo(id);
  if (info.ReadOnly || !Keeps(info)) return;
  auto as_int = [&value] { return std::get<int32_t>(value); };
  auto as_bool = [&value] { return std::get<bool>(value); };
  switch (id) {
    case PR_LEFT:
      FMotionX = 0;
      ChangeGeometry(FLeft, as_int());
      NotifyPosition();
      return;
    case PR_TOP:
      FMotionY = 0;
      ChangeGeometry(FTop, as_int());
      NotifyPosition();
      return;
    case PR_WIDTH: ChangeGeometry(FWidth, as_int()); return;
    case PR_HEIGHT: ChangeGeometry(FHeight, as_int()); return;
    case PR_OFFSETX:
      ChangeGeometry(FAnchorX, as_int());
      NotifyPosition();
      return;
    case PR_OFFSETY:
      ChangeGeometry(FAnchorY, as_int());
      NotifyPosition();
      return;
    case PR_PLUSX: ChangeGeometry(FPlusX, as_int()); return;
    case PR_PLUSY: ChangeGeometry(FPlusY, as_int()); return;
    case PR_CLIPLEFT:
    case PR_CLIPTOP:
    case PR_CLIPWIDTH:
    case PR_CLIPHEIGHT: {
      int32_t* field[] = {&FClipLeft, &FClipTop, &FClipWidth, &FClipHeight};
      ChangeGeometry(*field[id - PR_CLIPLEFT], as_int());
      NotifyClip();
      return;
    }
    case PR_COLOR: SetColor(as_int()); return;
    case PR_VISIBLE: SetVisible(as_bool()); return;
    // The mode is kept as a byte, as the state record stores it.
    case PR_IGNOREMOUSE: FIgnoreMouse = static_cast<uint8_t>(as_int()); return;
    case PR_CURSOR: FCursor = std::get<std::string>(std::move(value)); return;
    case PR_POSZOOMED:
      if (FPosZoomed == as_bool()) return;
      Invalidate();
      FPosZoomed = as_bool();
      Invalidate();
      return;
    case PR_HANDLEKEY:
      if (FHandleKey == as_bool()) return;
      FHandleKey = as_bool();
      Scene().TakesFocusChanged(*this);
      return;
    case PR_ANIPAUSED: FAniPaused = as_bool(); return;
    default: break;
  }
  const int32_t slot = EventSlot(id);
  if (slot >= 0) {
    FEvents[static_cast<size_t>(slot)] = std::get<std::string>(std::move(value));
    return;
  }
  TKestComponent::SetProp(id, std::move(value));
}

void TKestControl::SetPriority(int32_t priority) {
  if (priority == Priority()) return;
  TKestComponent::SetPriority(priority);
  if (FParent) FParent->SortChildren();
  // What lay above it may now lie beneath it, or the reverse.
  Invalidate();
}

bool TKestControl::IsDescendantOf(const TKestControl* control) const {
  for (const TKestControl* p = FParent; p; p = p->FParent)
    if (p == control) return true;
  return false;
}

TKestBase* TKestControl::BaseScreen() {
  TKestControl* control = this;
  while (control->FParent) control = control->FParent;
  return control->IsBase() ? static_cast<TKestBase*>(control) : nullptr;
}

bool TKestControl::SetParent(TKestControl* parent) {
  if (parent == FParent) return true;
  if (parent == this || (parent && parent->IsDescendantOf(this)) || IsBase()) return false;
  Invalidate();
  ChangeParent(parent);
  Invalidate();
  Scene().ParentChanged(*this);
  return true;
}

void TKestControl::ChangeParent(TKestControl* parent, bool sort) {
  if (FParent) {
    FParent->RemoveChild(this);
    if (FParent->Kind() == LT_CABINET) LeaveCabinet();
  }
  FParent = parent;
  if (!parent) return;
  parent->AddChild(this, sort);
  if (parent->Kind() == LT_CABINET) EnterCabinet();
}

void TKestControl::AddChild(TKestControl* child, bool sort) {
  FChildren.push_back(child);
  if (sort) SortChildren();
}

void TKestControl::RemoveChild(TKestControl* child) { std::erase(FChildren, child); }

void TKestControl::Detach() {
  Invalidate();
  if (FParent) FParent->RemoveChild(this);
  FParent = nullptr;
  for (TKestControl* child : FChildren) child->FParent = nullptr;
  FChildren.clear();
}

void TKestControl::SortChildren() {
  // Helpers (0x01 names) lie beneath the rest; the flip's snapshot (0x01 0x01)
  // lies above everything. A stable sort keeps equal children in their order.
  auto rank = [](const TKestControl* c) {
    const std::string& name = c->Name();
    if (name == "\x01\x01") return 2;
    return !name.empty() && name[0] == '\x01' ? 0 : 1;
  };
  std::stable_sort(FChildren.begin(), FChildren.end(), [&](const TKestControl* a, const TKestControl* b) {
    // After-images lie below their source, the faded ones lowest.
    if (a->IsAfterImage() && b->IsAfterImage()) return a->BlurAlpha() % 256 < b->BlurAlpha() % 256;
    if (a->BlurSource() == b) return true;
    if (b->BlurSource() == a) return false;
    const int ra = rank(a);
    const int rb = rank(b);
    if (ra != rb) return ra < rb;
    const int64_t pa = int64_t{a->Priority()} + a->PriorityOffset();
    const int64_t pb = int64_t{b->Priority()} + b->PriorityOffset();
    if (pa != pb) return pa < pb;
    return a->Name() < b->Name();
  });
}

void TKestControl::Serialise(TStateIo& io) {
  for (int32_t* v : {&FLeft, &FTop, &FWidth, &FHeight, &FAnchorX, &FAnchorY}) io.Int(*v);
  io.Flag(FPosZoomed);
  if (io.Since(kSaveSinceOffsets))
    for (int32_t* v : {&FMotionX, &FMotionY, &FPlusX, &FPlusY}) io.Int(*v);
  if (io.Since(kSaveSinceClips)) {
    for (int32_t* v : {&FClipLeft, &FClipTop, &FClipWidth, &FClipHeight}) io.Int(*v);
    io.Flag(FAniPaused);
  }
  io.Flag(FVisible);
  io.Int(FColor);
  for (int32_t& v : FSpareRect) io.Int(v);
  io.Byte(FIgnoreMouse);
  io.Str(FCursor);
  io.Str(FEvents[0]);
  if (io.Since(kSaveSinceMouseIn)) io.Str(FEvents[8]);
  for (size_t slot = 1; slot < 8; ++slot) io.Str(FEvents[slot]);
  if (io.Since(kSaveSinceKeyEvents)) {
    io.Flag(FHandleKey);
    for (size_t slot = 9; slot < kEventCount; ++slot) io.Str(FEvents[slot]);
  }
}

void TKestControl::SaveState(TStream& stream) const {
  TKestComponent::SaveState(stream);
  // Writing reads the fields and changes none of them.
  TStateIo io = TStateIo::Writer(stream);
  const_cast<TKestControl*>(this)->Serialise(io);
  SaveChildren(stream);
}

void TKestControl::SaveChildren(TStream& stream) const {
  const auto count = std::count_if(FChildren.begin(), FChildren.end(), [](auto* c) { return IsSavedChild(*c); });
  WriteInt(stream, static_cast<int32_t>(count));
  for (const TKestControl* child : FChildren) {
    if (!IsSavedChild(*child)) continue;
    WriteByte(stream, child->Kind());
    child->SaveState(stream);
  }
}

void TKestControl::LoadState(TStream& stream, int32_t version) {
  TKestComponent::LoadState(stream, version);
  TStateIo io = TStateIo::Reader(stream, version);
  Serialise(io);
  LoadChildren(stream, version);
}

void TKestControl::LoadChildren(TStream& stream, int32_t version) {
  const int32_t count = ReadInt(stream);
  // Each child takes at least its kind byte.
  if (count < 0) throw EReadError("Scene record: negative child count");
  RequireRemaining(stream, count);
  TKestBaseList::TLoadDepth depth(Scene());
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t kind = ReadByte(stream);
    TKestObject* object = Scene().CreateByKind(kind);
    TKestControl* child = object ? object->AsControl() : nullptr;
    if (!child) {
      if (object) Scene().Destroy(*object);
      throw EReadError("Scene record: a child of kind " + std::to_string(kind) + " cannot be loaded");
    }
    // Children keep the record's order until all are loaded and sorted once,
    // so children that sort alike stay in the order they were saved.
    child->ChangeParent(this, false);
    child->LoadState(stream, version);
  }
  SortChildren();
}

}  // namespace kest
