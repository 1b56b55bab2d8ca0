#include "scene/components/kest_text_input.h"

#include <cstdlib>

#include "common/sjis.h"
#include "common/stream.h"
#include "platform/vk_keys.h"
#include "scene/kest_base.h"
#include "scene/kest_base_list.h"

namespace kest {

namespace {

// Every mouse mode: a control that ignores the mouse still covers the box.
constexpr uint8_t kHitAll = (1 << IM_NONE) | (1 << IM_ALL) | (1 << IM_CLICK) | (1 << IM_LCLICK) | (1 << IM_RCLICK);

// Typed text in CP932, each character that has no CP932 form left out.
std::string TypedCp932(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = uint8_t(utf8[i]);
    const size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (auto cp932 = Utf8ToCp932Strict(std::string_view(utf8).substr(i, n))) out += *cp932;
    i += n;
  }
  return out;
}

}  // namespace

TKestTextInput::TKestTextInput(TKestBaseList& scene, bool multiLine) : TKestControl(scene), FBox(multiLine) {}

TKestTextInput::~TKestTextInput() { ReleaseKeyboard(); }

void TKestTextInput::Detach() {
  ReleaseKeyboard();
  TKestControl::Detach();
}

TPropValue TKestTextInput::GetProp(int32_t id) const {
  switch (id) {
    case PR_TEXT: return FBox.Text();
    case PR_FONTNAME: return FBox.FontName;
    case PR_FONTHEIGHT: return std::abs(FBox.FontHeight);
    case PR_FONTSTYLE: return int32_t{FBox.FontStyle};
    case PR_FONTCOLOR: return FBox.FontColour;
    case PR_COLOR: return FBox.BackColour;
    case PR_READONLY: return FBox.ReadOnly;
    case PR_PAUSED: return !FBox.Enabled;
    case PR_HALIGN:
      if (FBox.MultiLine()) return int32_t{FBox.Align};
      break;
    case PR_HANDLEKEY: return true;
    case PR_ONNOTIFY: return FOnNotify;
    default: break;
  }
  return TKestControl::GetProp(id);
}

void TKestTextInput::SetProp(int32_t id, TPropValue value) {
  const TPropertyInfo& info = *PropertyInfo(id);
  if (info.ReadOnly || !Keeps(info)) return;
  auto as_int = [&value] { return std::get<int32_t>(value); };
  auto as_bool = [&value] { return std::get<bool>(value); };
  switch (id) {
    case PR_TEXT: FBox.SetText(std::get<std::string>(std::move(value))); break;
    case PR_FONTNAME:
      FBox.FontName = std::get<std::string>(std::move(value));
      FBox.FontChanged();
      break;
    case PR_FONTHEIGHT:
      FBox.FontHeight = as_int();
      FBox.FontChanged();
      break;
    case PR_FONTSTYLE:
      FBox.FontStyle = uint8_t(as_int());
      FBox.FontChanged();
      break;
    case PR_FONTCOLOR: FBox.FontColour = as_int(); break;
    case PR_COLOR: FBox.BackColour = as_int(); break;
    case PR_READONLY: FBox.ReadOnly = as_bool(); return;
    case PR_PAUSED:
      if (FBox.Enabled == !as_bool()) return;
      FBox.Enabled = !as_bool();
      SyncKeyboard();
      break;
    case PR_HALIGN:
      if (!FBox.MultiLine()) return;
      FBox.Align = uint8_t(as_int());
      break;
    case PR_HANDLEKEY: return;
    case PR_ONNOTIFY: FOnNotify = std::get<std::string>(std::move(value)); return;
    case PR_VISIBLE:
    case PR_WIDTH:
    case PR_HEIGHT:
    case PR_PLUSX:
    case PR_PLUSY:
      TKestControl::SetProp(id, std::move(value));
      Place();
      return;
    default: TKestControl::SetProp(id, std::move(value)); return;
  }
  Invalidate();
}

bool TKestTextInput::ComputeShown() {
  TKestBase* base = BaseScreen();
  if (!Parent() || !base || !IsShowing()) return false;
  const int32_t x = SaturatedAdd(AbsLeft(), Width() / 2);
  const int32_t y = SaturatedAdd(AbsTop(), Height() / 2);
  return base->HitTest(x, y, kHitAll) == this;
}

void TKestTextInput::Place() {
  const bool shown = ComputeShown();
  if (shown != FBox.Shown) {
    // Invalidation needs the control visible: a control turning invisible
    // has already cleared its own area.
    FBox.Shown = shown;
    Invalidate();
  }
  SyncKeyboard();
}

bool TKestTextInput::Update() {
  if (ComputeShown() != FBox.Shown)
    Place();
  else
    SyncKeyboard();
  return false;
}

bool TKestTextInput::HoldsKeyboard() {
  return FBox.Shown && FBox.Enabled && Scene().Focused() == this && !Scene().IsScrapped(*this);
}

void TKestTextInput::SyncKeyboard() {
  TSceneInput& input = Scene().Input();
  const bool want = HoldsKeyboard();
  if (want == FBox.Focused && (input.KeyboardBox() == this) == want) return;
  if (want) {
    // Keys typed into the box must not count as the scene's key presses.
    input.SetKeyboardBox(this);
    input.ClearKeys();
  } else if (input.KeyboardBox() == this) {
    input.SetKeyboardBox(nullptr);
  }
  FBox.Focused = want;
  Invalidate();
}

void TKestTextInput::ReleaseKeyboard() {
  TSceneInput& input = Scene().Input();
  if (input.KeyboardBox() == this) input.SetKeyboardBox(nullptr);
  FBox.Focused = false;
}

void TKestTextInput::FocusGained() { SyncKeyboard(); }

void TKestTextInput::LeftDown() {
  TKestBase* base = BaseScreen();
  if (!FBox.Shown || !base) {
    TKestControl::LeftDown();
    return;
  }
  // The box takes the click for itself: it places the caret, and the scene
  // focus follows as for any control that takes keys.
  const TBaseMouseState& mouse = Scene().Input().Base(base->Index());
  FBox.CaretToPoint(mouse.MouseX - AbsLeft(), mouse.MouseY - AbsTop());
  base->ConsumeLeftClick();
  Invalidate();
}

bool TKestTextInput::TypeKey(int key) {
  if (!HoldsKeyboard()) {
    SyncKeyboard();
    return false;
  }
  if (!FOnNotify.empty()) {
    TArrayString args;
    args.Add(std::to_string(key));
    args.Add(FBox.Text());
    Scene().PostEvent(*this, FOnNotify, args, PR_ONNOTIFY);
  }
  // The single-line box keeps Enter, Escape and Tab out of its text.
  if (!FBox.MultiLine() && (key == vk::kReturn || key == vk::kEscape || key == vk::kTab)) return true;
  if (FBox.Key(key)) Invalidate();
  return true;
}

void TKestTextInput::TypeText(const std::string& utf8) {
  if (!HoldsKeyboard()) return;
  FBox.Type(TypedCp932(utf8));
  Invalidate();
}

TRect TKestTextInput::TextArea() {
  const TRect caret = FBox.CaretRect();
  return MakeRect(AbsLeft() + caret.Left, AbsTop() + caret.Top, caret.Right - caret.Left, caret.Bottom - caret.Top);
}

void TKestTextInput::Paint(TCustomDIBX& surface) {
  if (FBox.Shown) FBox.Paint(surface, BoundsRect(), Scene().Fonts());
}

void TKestTextInput::SaveState(TStream& stream) const {
  TKestControl::SaveState(stream);
  WriteByte(stream, FBox.Enabled ? 0 : 1);
  WriteStr(stream, FBox.Text());
  WriteStr(stream, FBox.FontName);
  WriteInt(stream, FBox.FontHeight);
  WriteByte(stream, FBox.FontStyle);
  WriteInt(stream, FBox.FontColour);
  WriteInt(stream, FBox.BackColour);
  WriteByte(stream, FBox.ReadOnly ? 1 : 0);
  if (FBox.MultiLine()) WriteByte(stream, FBox.Align);
  WriteStr(stream, FOnNotify);
}

void TKestTextInput::LoadState(TStream& stream, int32_t version) {
  TKestControl::LoadState(stream, version);
  TakeKeys();
  SetProp(PR_PAUSED, ReadByte(stream) != 0);
  SetProp(PR_TEXT, ReadStr(stream));
  SetProp(PR_FONTNAME, ReadStr(stream));
  SetProp(PR_FONTHEIGHT, ReadInt(stream));
  SetProp(PR_FONTSTYLE, int32_t{ReadByte(stream)});
  SetProp(PR_FONTCOLOR, ReadInt(stream));
  SetProp(PR_COLOR, ReadInt(stream));
  SetProp(PR_READONLY, ReadByte(stream) != 0);
  if (FBox.MultiLine()) SetProp(PR_HALIGN, int32_t{ReadByte(stream)});
  SetProp(PR_ONNOTIFY, ReadStr(stream));
  Place();
}

}  // namespace kest
