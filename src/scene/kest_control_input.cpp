// What a control does with the mouse and keys the scene's input phase hands
// it, and what it asks of the focus.
#include "scene/kest_base.h"
#include "scene/kest_base_list.h"
#include "scene/kest_control.h"

namespace kest {

namespace {

bool AcceptsLeft(uint8_t mode) { return mode == IM_NONE || mode == IM_RCLICK; }
bool AcceptsRight(uint8_t mode) { return mode == IM_NONE || mode == IM_LCLICK; }

}  // namespace

bool TKestControl::IsStopped() const { return std::get<bool>(GetProp(PR_PAUSED)); }

bool TKestControl::InCabinet() const {
  for (const TKestControl* p = FParent; p; p = p->FParent)
    if (p->Kind() == LT_CABINET) return true;
  return false;
}

bool TKestControl::IsShowing() {
  for (TKestControl* c = this; c; c = c->FParent)
    if (!c->Visible()) return false;
  return BaseScreen() == &Scene().FrontBase();
}

void TKestControl::PostMouseEvent(int32_t code) {
  const std::string& reference = EventReference(code);
  if (reference.empty()) return;
  TKestBase* base = BaseScreen();
  TArrayString args;
  if (base) {
    const TBaseMouseState& mouse = Scene().Input().Base(base->Index());
    args.Add(std::to_string(int64_t{mouse.MouseX} - AbsLeft()));
    args.Add(std::to_string(int64_t{mouse.MouseY} - AbsTop()));
  }
  Scene().PostEvent(*this, reference, args, static_cast<uint8_t>(code));
}

void TKestControl::LeftDown() {
  TKestBase* base = BaseScreen();
  if (!base || IsBase() || !AcceptsLeft(FIgnoreMouse)) return;
  if (!IsStopped() && !EventsSuppressed() && !Scene().Events().IsWaiting(Ref(), PR_ONLBTNDOWN)) {
    PostMouseEvent(PR_ONLBTNDOWN);
    base->CaptureFlags |= kCaptureLeft;
  }
  base->ConsumeLeftClick();
}

void TKestControl::LeftUp() {
  if (!EventsSuppressed()) PostMouseEvent(PR_ONLBTNUP);
  if (TKestBase* base = BaseScreen()) base->CaptureFlags &= ~kCaptureLeft;
}

void TKestControl::RightDown() {
  TKestBase* base = BaseScreen();
  if (!base || IsBase() || !AcceptsRight(FIgnoreMouse)) return;
  if (!IsStopped() && !EventsSuppressed() && !Scene().Events().IsWaiting(Ref(), PR_ONRBTNDOWN)) {
    PostMouseEvent(PR_ONRBTNDOWN);
    base->CaptureFlags |= kCaptureRight;
  }
  base->ConsumeRightClick();
}

void TKestControl::RightUp() {
  if (!EventsSuppressed()) PostMouseEvent(PR_ONRBTNUP);
  if (TKestBase* base = BaseScreen()) base->CaptureFlags &= ~kCaptureRight;
}

void TKestControl::MouseMove() {
  if (!EventsSuppressed()) PostMouseEvent(PR_ONMOUSEMOVE);
}

void TKestControl::MouseIn(TKestControl*) {
  if (!EventsSuppressed()) Scene().PostEvent(*this, EventReference(PR_ONMOUSEIN), TArrayString(), PR_ONMOUSEIN);
}

void TKestControl::MouseOut(TKestControl*) {
  if (!EventsSuppressed()) Scene().PostEvent(*this, EventReference(PR_ONMOUSEOUT), TArrayString(), PR_ONMOUSEOUT);
}

void TKestControl::KeyDown(const TArrayString& keys) {
  if (!IsStopped() && !IsBase()) Scene().PostEvent(*this, EventReference(PR_ONKEYDOWN), keys, PR_ONKEYDOWN);
}

void TKestControl::KeyUp(const TArrayString& keys) {
  if (!IsStopped() && !IsBase()) Scene().PostEvent(*this, EventReference(PR_ONKEYUP), keys, PR_ONKEYUP);
}

void TKestControl::KeyRepeat(const TArrayString& keys) {
  if (!IsStopped() && !IsBase()) Scene().PostEvent(*this, EventReference(PR_ONKEYREPEAT), keys, PR_ONKEYREPEAT);
}

TKestControl* TKestControl::FindFocusable() {
  for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it)
    if ((*it)->Visible())
      if (TKestControl* found = (*it)->FindFocusable()) return found;
  return FHandleKey && !IsStopped() ? this : nullptr;
}

}  // namespace kest
