#include "scene/scene_input.h"

namespace kest {

void TKeyState::SetKey(int key, bool down) {
  if (key < 0 || key >= 256 || Held[key] == (down ? 1 : 0)) return;
  const auto k = static_cast<uint8_t>(key);
  Held[k] = down ? 1 : 0;
  RepeatNextFrame[k] = down ? 1 : 0;
  if (down) {
    RepeatTimer[k] = kFirstRepeat;
    DownFlag = RepeatFlag = true;
    DownKeys.push_back(k);
    RepeatKeys.push_back(k);
  } else {
    UpFlag = true;
    UpKeys.push_back(k);
  }
}

void TKeyState::Clear() { *this = TKeyState(); }

void TKeyState::Latch() {
  PressedThisFrame = PressedSinceLastFrame;
  PressedSinceLastFrame.fill(0);
  RepeatThisFrame = RepeatNextFrame;
}

void TKeyState::ClearFlags() {
  DownFlag = UpFlag = RepeatFlag = false;
  DownKeys.clear();
  UpKeys.clear();
  RepeatKeys.clear();
}

void TKeyState::StepRepeat(int32_t elapsed) {
  for (int k = 0; k < 256; ++k) {
    if (!Held[k]) continue;
    RepeatTimer[k] -= elapsed;
    RepeatNextFrame[k] = RepeatTimer[k] <= 0 ? 1 : 0;
    if (RepeatTimer[k] > 0) continue;
    RepeatTimer[k] += kNextRepeat;
    RepeatFlag = true;
    RepeatKeys.push_back(static_cast<uint8_t>(k));
  }
}

void TSceneInput::MouseDown(TMouseButton button) {
  for (auto& base : FBases) {
    base.LeftHeld = button == TMouseButton::Left;
    base.RightHeld = button == TMouseButton::Right;
  }
  Front().LeftClickLatch = button == TMouseButton::Left;
  Front().RightClickLatch = button == TMouseButton::Right;
}

void TSceneInput::MouseUp() {
  for (auto& base : FBases) base.LeftHeld = base.RightHeld = false;
}

void TSceneInput::MouseMove(int32_t x, int32_t y) {
  for (auto& base : FBases) {
    if (base.MouseX == x && base.MouseY == y) continue;
    base.MouseX = x;
    base.MouseY = y;
    base.MouseMoved = true;
  }
}

void TSceneInput::Wheel(bool down) {
  if (down)
    Front().WheelDownLatch = true;
  else
    Front().WheelUpLatch = true;
}

void TSceneInput::KeyDown(int key) {
  if (key < 0 || key >= 256) return;
  FKeys.SetKey(key, true);
  FKeys.PressedSinceLastFrame[key] = 1;
}

void TSceneInput::KeyUp(int key) { FKeys.SetKey(key, false); }

void TSceneInput::ClearKeys() { FKeys.Clear(); }

}  // namespace kest
