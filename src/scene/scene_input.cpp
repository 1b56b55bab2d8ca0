#include "scene/scene_input.h"

namespace kest {

void TKeyState::SetKey(int key, bool down) {
  if (key < 0 || key >= 256) return;
  Held[key] = down ? 1 : 0;
}

void TKeyState::Clear() {
  Held.fill(0);
  PressedSinceLastFrame.fill(0);
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
