// The scene's three phases of a frame tick (input, update, drawing), its
// size and surfaces, and the focus rules that the phases and the controls
// share.
#include <algorithm>
#include <iterator>

#include "imaging/pexa_collection.h"
#include "imaging/pexa_frame_list.h"
#include "imaging/wipes/custom_wipe.h"
#include "scene/components/kest_snapshot.h"
#include "scene/kest_base_list.h"

namespace kest {

namespace {

TArrayString KeyCodes(const std::vector<uint8_t>& keys) {
  TArrayString codes;
  for (uint8_t key : keys) codes.Add(std::to_string(key));
  return codes;
}

TDIBX GreyLevels(const TDIBX& picture) {
  TDIBX grey(picture.Width(), picture.Height(), 8);
  for (int32_t y = 0; y < picture.Height(); ++y)
    for (int32_t x = 0; x < picture.Width(); ++x) {
      const uint32_t c = picture.PixelToColor(picture.GetPixel(x, y));
      grey.ScanLine(y)[x] = uint8_t((((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF)) / 3);
    }
  return grey;
}

}  // namespace

void TKestBaseList::ProcessInput() {
  if (FFocusRecompute) {
    SetFocus(FrontBase().FindFocusable());
    FFocusRecompute = false;
  }
  FInput.Keys().Latch();
  FrontBase().ProcessMouse();
  FCursor.Show(FrontBase().CurrentCursor, FPictures, FClock->FrameDelta);
  ProcessKeys();
  FInput.Keys().StepRepeat(FClock->FrameDelta);
}

void TKestBaseList::ProcessKeys() {
  TKeyState& keys = FInput.Keys();
  TKestControl* focused = Focused();
  if (focused && focused->TakesFocus() && !focused->EventsSuppressed()) {
    TObjectRef ref = focused->Ref();
    if (keys.DownFlag) focused->KeyDown(KeyCodes(keys.DownKeys));
    if (keys.RepeatFlag && ref.Get()) focused->KeyRepeat(KeyCodes(keys.RepeatKeys));
    if (keys.UpFlag && ref.Get()) focused->KeyUp(KeyCodes(keys.UpKeys));
  }
  keys.ClearFlags();
}

void TKestBaseList::UpdateScene() {
  FBases[0]->Update();
  FBases[1]->Update();
  UpdateObjects();
  DestroyScrapped();
}

void TKestBaseList::UpdateObjects() {
  // Destroying an object also destroys its children, which may lie before it
  // in the registry: the walk goes on from the next survivor after it.
  size_t i = 0;
  while (i < FObjects.size()) {
    TKestObject& object = *FObjects[i].Object;
    const uint64_t order = FObjects[i].Order;
    TKestControl* control = object.AsControl();
    const bool in_cabinet = control && control->InCabinet();
    auto* component = static_cast<TKestComponent*>(&object);
    if (!in_cabinet && !component->EventsSuppressed())
      if (const TPropertyInfo& idle = *PropertyInfo(PR_ONIDLE); object.Keeps(idle))
        PostEvent(*component, std::get<std::string>(object.GetProp(PR_ONIDLE)), TArrayString(), PR_ONIDLE);
    const bool stopped = std::get<bool>(object.GetProp(PR_PAUSED));
    if (stopped || IsScrapped(object) || in_cabinet || !object.Update()) {
      ++i;
      continue;
    }
    Destroy(object);
    i = static_cast<size_t>(std::lower_bound(FObjects.begin(), FObjects.end(), order,
                                             [](const TEntry& e, uint64_t o) { return e.Order < o; }) -
                            FObjects.begin());
  }
}

void TKestBaseList::DrawScene() {
  FOverlays.Lift(Output());
  FTransitionRect = {};
  // While a transition runs both screens keep their own pictures, which it
  // mixes onto the output.
  for (int index = 0; index < 2; ++index) {
    TKestBase& base = Base(index);
    base.DrawDirty(index == FFrontIndex && !FTransition ? Output() : base.Surface());
  }
  FOutputBase = FTransition ? -1 : FFrontIndex;
  if (FTransition) {
    FTransition->Step();
    FTransitionRect = FTransition->UpdateRect();
  }
  FOverlays.Lay(Output());
}

TCustomWipe* TKestBaseList::StartTransition(int frontIndex, int32_t kind, bool reverse, bool restart, int32_t stepValue,
                                            int32_t duration) {
  SetFrontIndex(frontIndex);
  if (restart || (kind != 0 && !FTransition)) {
    FTransition.reset();
    FBases[0]->InvalidateAll();
    FBases[1]->InvalidateAll();
    if (kind != 0) {
      FOverlays.Lift(Output());
      // The front screen drew onto the output: its own picture is behind. A
      // screen swapped to the front since drew only its own.
      TKestBase& front = FrontBase();
      if (FOutputBase == FFrontIndex && front.Surface().Width() == Output().Width() &&
          front.Surface().Height() == Output().Height())
        front.Surface().Draw(0, 0, Output(), Output().Bounds(), TBlit::None);
      FOutputBase = -1;
      FTransition = CreateWipe(kind, Output(), front.Surface(), BackBase().Surface());
      if (FTransition) {
        FTransition->Duration = std::max(1, duration);
        FTransition->SetReverse(reverse);
      }
    }
    LoseFocusIfOffFront();
  }
  FTransitionKind = kind;
  if (FTransition) FTransition->Position = stepValue;
  return FTransition.get();
}

TCustomWipe::TMaskLoader TKestBaseList::MaskPictures() const {
  return [pictures = FPictures](const std::string& name) -> std::optional<TDIBX> {
    IPictureFiles* files = pictures ? pictures->Files() : nullptr;
    if (!files || !files->Exists(name)) return std::nullopt;
    const std::vector<uint8_t> bytes = files->Read(name);
    // Protected masks are stored with the code of every other picture of the game.
    TPexaFrameList list(pictures->Code());
    list.LoadByContent(bytes);
    if (list.Count() == 0) return std::nullopt;
    return GreyLevels(list.Frames(0).Composite);
  };
}

TKestControl& TKestBaseList::TakeSnapshot() {
  DrawScene();
  // Overlays lie above the scene: the snapshot is of the scene alone.
  FOverlays.Lift(Output());
  auto& snapshot = Create<TKestSnapshot>();
  snapshot.SetName("\x01\x01");
  snapshot.Copy(Output());
  snapshot.SetParent(&FrontBase());
  return snapshot;
}

const TCustomDIBX& TKestBaseList::ScreenPicture(bool back) {
  TKestBase& base = back ? BackBase() : FrontBase();
  const bool onOutput = !back && !FTransition;
  if (onOutput) FOverlays.Lift(Output());
  TCustomDIBX& target = onOutput ? Output() : base.Surface();
  base.DrawDirty(target);
  if (onOutput) FOutputBase = FFrontIndex;
  return target;
}

void TKestBaseList::ClearDirtyLists() {
  FBases[0]->Dirty().Clear();
  FBases[1]->Dirty().Clear();
}

std::vector<TRect> TKestBaseList::OutputDirtyRects() {
  std::vector<TRect> rects = FTransition ? std::vector<TRect>{FTransitionRect} : FrontBase().Dirty().Rects();
  for (const TRect& r : FOverlays.TakeChanged()) rects.push_back(r);
  return rects;
}

void TKestBaseList::SetSceneSize(int32_t width, int32_t height) {
  FWidth = width;
  FHeight = height;
  FOutput.SetSize(width, height, FBitCount);
  FBases[0]->SetSurfaceSize(width, height, FBitCount);
  FBases[1]->SetSurfaceSize(width, height, FBitCount);
  FOutputBase = -1;
}

void TKestBaseList::DropTransition() {
  FTransition.reset();
  FTransitionKind = 0;
  FTransitionRect = {};
}

void TKestBaseList::FreeSurfaces() {
  // The wipe mixes the surfaces that go now; a waiting flip ends without it.
  DropTransition();
  FOutput.SetSize(0, 0, FBitCount);
  FBases[0]->FreeSurfaces();
  FBases[1]->FreeSurfaces();
}

void TKestBaseList::ReloadSurfaces() { SetSceneSize(FWidth, FHeight); }

void TKestBaseList::SwapScreens(int frontIndex) {
  SetFrontIndex(frontIndex);
  FBases[0]->InvalidateAll();
  FBases[1]->InvalidateAll();
  LoseFocusIfOffFront();
}

void TKestBaseList::LoseFocusIfOffFront() {
  TKestControl* focused = Focused();
  if (focused && focused->BaseScreen() == &FrontBase()) return;
  FFocused = TObjectRef();
  FFocusRecompute = true;
}

void TKestBaseList::SetFocus(TKestControl* control) {
  TKestControl* old = Focused();
  if (control == old) return;
  if (old && !old->Name().empty() && !old->EventsSuppressed())
    PostEvent(*old, old->EventReference(PR_ONFOCUSOUT), TArrayString(), PR_ONFOCUSOUT);
  FFocused = control ? control->Ref() : TObjectRef();
  FFocusRecompute = false;
  if (!control) return;
  if (!control->EventsSuppressed())
    PostEvent(*control, control->EventReference(PR_ONFOCUSIN), TArrayString(), PR_ONFOCUSIN);
  control->FocusGained();
}

void TKestBaseList::ControlCreated() {
  if (!Focused()) FFocusRecompute = true;
}

void TKestBaseList::VisibilityChanged(TKestControl& control) {
  TKestControl* focused = Focused();
  if (!focused) {
    if (control.Visible()) FFocusRecompute = true;
    return;
  }
  if (!control.Visible() && (focused == &control || focused->IsDescendantOf(&control))) {
    FFocused = TObjectRef();
    FFocusRecompute = true;
  }
}

void TKestBaseList::TakesFocusChanged(TKestControl& control) {
  TKestControl* focused = Focused();
  if (control.TakesFocus() ? !focused : focused == &control) {
    if (focused) FFocused = TObjectRef();
    FFocusRecompute = true;
  }
}

void TKestBaseList::ParentChanged(TKestControl& control) {
  TKestControl* focused = Focused();
  if (!focused) {
    if (control.BaseScreen() == &FrontBase()) FFocusRecompute = true;
    return;
  }
  if (focused->BaseScreen() != &FrontBase()) {
    FFocused = TObjectRef();
    FFocusRecompute = true;
  }
}

}  // namespace kest
