#include "scene/components/kest_button.h"

#include <algorithm>
#include <cstring>

#include "common/errors.h"
#include "common/save_versions.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "scene/kest_base.h"
#include "scene/kest_base_list.h"

namespace kest {

namespace {

constexpr uint8_t kEnter = 13;
constexpr uint8_t kSpace = 32;

int32_t SourceSlot(int32_t id) {
  switch (id) {
    case PR_HOVERSOURCE: return 0;
    case PR_PRESSEDSOURCE: return 1;
    case PR_CLICKEDSOURCE: return 2;
    default: return -1;
  }
}

bool IsCaptionProp(int32_t id) {
  switch (id) {
    case PR_TEXT:
    case PR_FONTNAME:
    case PR_FONTHEIGHT:
    case PR_FONTSTYLE:
    case PR_FONTCOLOR:
    case PR_ANTIALIAS: return true;
    default: return false;
  }
}

}  // namespace

TKestButton::TKestButton(TKestBaseList& scene) : TKestImages(scene) {
  FCaption.Add();
  SyncCaption();
}

void TKestButton::SyncCaption() {
  FCaption.Fonts = Scene().Fonts();
  FCaption.FontName = std::get<std::string>(GetProp(PR_FONTNAME));
  FCaption.FontSize = std::get<int32_t>(GetProp(PR_FONTHEIGHT));
  FCaption.Style = uint8_t(std::get<int32_t>(GetProp(PR_FONTSTYLE)) & 0x0F);
  FCaption.FontColor = std::get<int32_t>(GetProp(PR_FONTCOLOR));
  FCaption.AntiAlias = std::get<bool>(GetProp(PR_ANTIALIAS)) ? 3 : 0;
  FCaption.SetText(0, std::get<std::string>(GetProp(PR_TEXT)));
  FCaption.MarkAllDirty();
}

void TKestButton::Paint(TCustomDIBX& surface) {
  TKestImages::Paint(surface);
  const TTpLabelDIB* label = FCaption.Label(0);
  if (!label || label->Text.empty() || !Scene().Fonts()) return;
  FCaption.Fonts = Scene().Fonts();
  FCaption.Target = &surface;
  // A caption whose font cannot be measured (a size of 0, say) shows
  // nothing rather than stopping the frame.
  try {
    FCaption.RenderLabel(0);
  } catch (const EKestError&) {
    return;
  }
  const int32_t shift = FState >= 2 ? 1 : 0;
  FCaption.DrawLabel(0, AbsLeft() + (Width() - label->Width) / 2 + shift,
                     AbsTop() + (Height() - label->Height) / 2 + shift);
}

TKestImageList& TKestButton::Frames() { return FState == 0 ? SourceFrames() : FStates[size_t(FState - 1)]; }

void TKestButton::SetState(int32_t state) {
  if (FState == 3) {
    FReturnState = state;
    return;
  }
  if (state == FState) return;
  if (state != 0 && FStates[size_t(state - 1)].Count() == 0) return;
  Invalidate();
  FState = state;
  if (state == 3) FReturnState = 0;
  ShowFrame(Frames().Count() > 0 ? 0 : -1);
}

void TKestButton::SetStateSource(int32_t state, const std::string& source) {
  std::string& current = FSources[size_t(state - 1)];
  if (current == source) return;
  current = source;
  FStates[size_t(state - 1)].Load(Scene().Pictures(), this, source, false);
  if (FState == state) ShowFrame(Frames().Count() > 0 ? 0 : -1);
}

std::vector<TKestButton*> TKestButton::Group() const {
  std::vector<TKestButton*> group;
  const TKestControl* parent = Parent();
  if (!parent || FGroup == 0) return group;
  for (TKestControl* child : parent->Children())
    if (child->Kind() == LT_BUTTON && static_cast<TKestButton*>(child)->FGroup == FGroup)
      group.push_back(static_cast<TKestButton*>(child));
  return group;
}

bool TKestButton::OtherSelected() const {
  for (const TKestButton* b : Group())
    if (b != this && b->FSelected) return true;
  return false;
}

void TKestButton::ApplyGroup() {
  const std::vector<TKestButton*> group = Group();
  if (group.empty()) return;
  TKestButton* chosen = FSelected ? this : nullptr;
  for (TKestButton* b : group)
    if (!chosen && b->FSelected) chosen = b;
  if (!chosen && !FAllowAllUp) chosen = group.front();
  for (TKestButton* b : group) {
    const bool want = b == chosen;
    if (b->FSelected == want) continue;
    b->FSelected = want;
    b->SetState(want ? 2 : 0);
  }
}

void TKestButton::SetSelected(bool selected) {
  if (FGroup == 0) return;
  // Without all-up a group keeps one button down: its only one stays.
  if (!selected && FSelected && !FAllowAllUp && !OtherSelected()) return;
  FSelected = selected;
  SetState(selected ? 2 : 0);
  ApplyGroup();
}

bool TKestButton::MouseOver() {
  TKestBase* base = BaseScreen();
  if (!base) return false;
  const TBaseMouseState& mouse = Scene().Input().Base(base->Index());
  return base->HitTest(mouse.MouseX, mouse.MouseY, kHitLeftClick) == this;
}

void TKestButton::Click() {
  Scene().PostEvent(*this, std::get<std::string>(GetProp(PR_ONNOTIFY)), TArrayString(), PR_ONNOTIFY);
  if (FGroup == 0) {
    SetState(3);
    if (FState != 3 && AutoScrap()) FPress = -1;
    return;
  }
  if (FAllowAllUp || !FSelected) SetSelected(!FSelected);
}

void TKestButton::MouseMove() {
  if (FPress == 1) {
    if (!FSelected && !MouseOver()) {
      SetState(0);
      return;
    }
    SetState(2);
  } else if (FSelected) {
    SetState(2);
  } else {
    SetState(IsStopped() ? 0 : 1);
  }
  TKestImages::MouseMove();
}

void TKestButton::MouseOut(TKestControl* next) {
  if (FState != 3) SetState(FSelected ? 2 : 0);
  TKestImages::MouseOut(next);
}

void TKestButton::LeftDown() {
  const auto mode = std::get<int32_t>(GetProp(PR_IGNOREMOUSE));
  if (mode != IM_NONE && mode != IM_RCLICK) return TKestImages::LeftDown();
  TKestBase* base = BaseScreen();
  if (!base) return;
  if (!IsStopped() && FState != 3) {
    base->CaptureFlags |= kCaptureLeft;
    SetState(2);
    FPress = 1;
  }
  base->ConsumeLeftClick();
}

void TKestButton::LeftUp() {
  if (FPress == 1 && MouseOver()) {
    Click();
    if (FPress == -1) return;
  }
  FPress = 0;
  if (FGroup == 0 && FState != 3) SetState(0);
  if (TKestBase* base = BaseScreen()) base->CaptureFlags &= ~kCaptureLeft;
}

void TKestButton::KeyRepeat(const TArrayString& keys) {
  const auto& repeated = Scene().Input().Keys().RepeatThisFrame;
  if (repeated[kEnter] || repeated[kSpace]) Click();
  TKestImages::KeyRepeat(keys);
}

bool TKestButton::Update() {
  if (FPress == -1) return true;
  StepFrames();
  CheckAfterImages(Index(), false);
  if (FState != 3 || !LastFrameRanOut()) return false;
  // The clicked picture has played: back to the state the button was in.
  if (AutoScrap()) return true;
  Scene().PostEvent(*this, std::get<std::string>(GetProp(PR_ONPLAYEND)), TArrayString(), PR_ONPLAYEND);
  FState = 0;
  const int32_t back = FReturnState;
  ShowFrame(SourceFrames().Count() > 0 ? 0 : -1);
  SetState(back);
  return false;
}

TPropValue TKestButton::GetProp(int32_t id) const {
  const int32_t slot = SourceSlot(id);
  if (slot >= 0) return FSources[size_t(slot)];
  switch (id) {
    case PR_GROUPINDEX: return FGroup;
    case PR_ALLOWALLUP: return FAllowAllUp;
    case PR_SELECTED: return FSelected;
    case PR_REPEAT: return FState != 3;
    default: return TKestImages::GetProp(id);
  }
}

void TKestButton::SetProp(int32_t id, TPropValue value) {
  const int32_t slot = SourceSlot(id);
  if (slot >= 0) {
    SetStateSource(slot + 1, std::get<std::string>(value));
    return FStates[size_t(slot)].RaiseIfDamaged();
  }
  switch (id) {
    case PR_GROUPINDEX: FGroup = std::get<int32_t>(value); return ApplyGroup();
    case PR_ALLOWALLUP:
      FAllowAllUp = std::get<bool>(value);
      if (TKestControl* parent = Parent(); parent && FGroup != 0)
        for (TKestControl* child : parent->Children())
          if (child->Kind() == LT_BUTTON && static_cast<TKestButton*>(child)->FGroup == FGroup)
            static_cast<TKestButton*>(child)->FAllowAllUp = FAllowAllUp;
      return ApplyGroup();
    case PR_SELECTED: return SetSelected(std::get<bool>(value));
    default:
      TKestImages::SetProp(id, std::move(value));
      if (IsCaptionProp(id)) {
        SyncCaption();
        Invalidate();
      }
  }
}

void TKestButton::SaveState(TStream& stream) const {
  TKestImages::SaveState(stream);
  WriteStr(stream, FSources[0]);
  WriteStr(stream, FSources[1]);
  WriteInt(stream, FGroup);
  WriteFlag(stream, FSelected);
  WriteFlag(stream, FAllowAllUp);
  WriteStr(stream, std::get<std::string>(GetProp(PR_ONNOTIFY)));
  WriteStr(stream, std::get<std::string>(GetProp(PR_ONIDLE)));
  WriteStr(stream, FSources[2]);
  FCaption.SaveToStream(stream);
}

void TKestButton::LoadState(TStream& stream, int32_t version) {
  TKestImages::LoadState(stream, version);
  const std::string hover = ReadStr(stream);
  const std::string pressed = ReadStr(stream);
  FGroup = ReadInt(stream);
  const bool selected = ReadFlag(stream);
  FAllowAllUp = ReadFlag(stream);
  TKestImages::SetProp(PR_ONNOTIFY, ReadStr(stream));
  std::string clicked;
  if (version >= kSaveSinceClips) {
    TKestImages::SetProp(PR_ONIDLE, ReadStr(stream));
    clicked = ReadStr(stream);
  }
  if (version >= kSaveSinceButtonCaption) {
    FCaption.Fonts = Scene().Fonts();
    FCaption.LoadFromStream(stream, version);
    TKestImages::SetProp(PR_FONTHEIGHT, FCaption.FontSize);
    TKestImages::SetProp(PR_FONTNAME, FCaption.FontName);
    TKestImages::SetProp(PR_FONTCOLOR, FCaption.FontColor);
    TKestImages::SetProp(PR_FONTSTYLE, int32_t{FCaption.Style} & 0x0F);
    TKestImages::SetProp(PR_ANTIALIAS, FCaption.AntiAlias > 0);
  }
  SetStateSource(1, hover);
  SetStateSource(2, pressed);
  SetStateSource(3, clicked);
  FState = 0;
  FPress = 0;
  SetSelected(selected);
}

}  // namespace kest
