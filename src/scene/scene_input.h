// The input latches of the scene: the mouse state of each base screen and the
// key state shared by both. The window's handlers write them as events
// arrive; the scene's input phase reads and clears them once per tick.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/rect.h"

namespace kest {

enum class TMouseButton { Left, Right, Middle };

struct TBaseMouseState {
  int32_t MouseX = 0;
  int32_t MouseY = 0;
  bool MouseMoved = false;
  bool LeftClickLatch = false;
  bool RightClickLatch = false;
  bool LeftHeld = false;
  bool RightHeld = false;
  bool WheelDownLatch = false;
  bool WheelUpLatch = false;
};

// Keys by virtual-key code. A press fires a key-down and a key-repeat at
// once, then repeats after 300 ms and every 50 ms while held.
struct TKeyState {
  static constexpr int32_t kFirstRepeat = 300;
  static constexpr int32_t kNextRepeat = 50;

  std::array<uint8_t, 256> Held{};
  std::array<uint8_t, 256> PressedSinceLastFrame{};
  std::array<uint8_t, 256> PressedThisFrame{};
  std::array<uint8_t, 256> RepeatNextFrame{};
  std::array<uint8_t, 256> RepeatThisFrame{};
  std::array<int32_t, 256> RepeatTimer{};
  bool DownFlag = false;
  bool UpFlag = false;
  bool RepeatFlag = false;
  std::vector<uint8_t> DownKeys;
  std::vector<uint8_t> UpKeys;
  std::vector<uint8_t> RepeatKeys;

  void SetKey(int key, bool down);
  void Clear();
  // The start of a frame's input phase: what was pressed or repeated since
  // the last one becomes this frame's.
  void Latch();
  void ClearFlags();
  // Counts the repeat timers of held keys down by a frame's milliseconds.
  void StepRepeat(int32_t elapsed);
};

// A text box drawn in the scene that holds the keyboard: key-downs and typed
// text go to it instead of the key tables.
class IKeyboardBox {
 public:
  // False when the box no longer holds the keyboard; the key is then the
  // scene's.
  virtual bool TypeKey(int key) = 0;
  virtual void TypeText(const std::string& utf8) = 0;
  // Where typed text appears, in scene pixels; input methods put their
  // candidates beside it.
  virtual TRect TextArea() = 0;

 protected:
  ~IKeyboardBox() = default;
};

class TSceneInput {
 public:
  // Any button: held flags follow the button on both base screens (so a
  // middle button clears both); the click latch goes to the front one.
  void MouseDown(TMouseButton button);
  void MouseUp();
  void MouseMove(int32_t x, int32_t y);
  void Wheel(bool down);
  // Keys at or above 256 are not tracked.
  void KeyDown(int key);
  void KeyUp(int key);
  // The window lost the focus: nothing stays held.
  void ClearKeys();

  TBaseMouseState& Base(int index) { return FBases[index & 1]; }
  const TBaseMouseState& Base(int index) const { return FBases[index & 1]; }
  TBaseMouseState& Front() { return FBases[FFrontIndex]; }
  int FrontIndex() const { return FFrontIndex; }
  void SetFrontIndex(int index) { FFrontIndex = index & 1; }
  TKeyState& Keys() { return FKeys; }
  const TKeyState& Keys() const { return FKeys; }
  IKeyboardBox* KeyboardBox() const { return FKeyboardBox; }
  void SetKeyboardBox(IKeyboardBox* box) { FKeyboardBox = box; }

 private:
  std::array<TBaseMouseState, 2> FBases{};
  int FFrontIndex = 0;
  TKeyState FKeys;
  IKeyboardBox* FKeyboardBox = nullptr;
};

}  // namespace kest
