#pragma once
// A base screen: the root control on which every visible object lies. The
// scene has two; the one in front is shown and takes the clicks, the other
// waits for a transition and keeps its own picture ready for it.

#include <string>

#include "imaging/dibx.h"
#include "scene/clip_list.h"
#include "scene/kest_control.h"

namespace kest {

// Capture flags: a button pressed on the hover control keeps the mouse for it.
inline constexpr uint8_t kCaptureLeft = 4;
inline constexpr uint8_t kCaptureRight = 8;
// The colour of the key surface, which no picture uses.
inline constexpr uint32_t kKeyColour = 0x800080;

class TKestBase : public TKestControl {
 public:
  TKestBase(TKestBaseList& scene, int index);

  bool IsBase() const override { return true; }
  // 0 or 1: which of the scene's two screens this is, whichever is in front.
  int Index() const { return FIndex; }
  TRect BoundsRect() const override { return MakeRect(0, 0, Width(), Height()); }
  void AddDirtyRect(const TRect& rect) override;

  // Resizes both surfaces (the key surface filled with the key colour).
  void SetSurfaceSize(int32_t width, int32_t height, int bitCount);
  void FreeSurfaces();
  TDIBX& Surface() { return FSurface; }
  TDIBX& KeySurface() { return FKeySurface; }
  TClipList& Dirty() { return FDirty; }
  void InvalidateAll() { FDirty.Add(BoundsRect()); }
  // Redraws the dirty rectangles onto a target (the scene's output when in
  // front, else the own surface).
  void DrawDirty(TCustomDIBX& target);
  // The mouse phase of a frame: capture, hit test, clicks, hover.
  void ProcessMouse();

  uint8_t CaptureFlags = 0;
  // The clicks and wheel steps of this frame (@LClick, @RClick, @WheelDown,
  // @WheelUp); a control that takes a click consumes it.
  bool LeftClick() const { return FLeftClick; }
  bool RightClick() const { return FRightClick; }
  bool WheelDown() const { return FWheelDown; }
  bool WheelUp() const { return FWheelUp; }
  void SetLeftClick(bool value) { FLeftClick = value; }
  void SetRightClick(bool value) { FRightClick = value; }
  void ConsumeLeftClick() { FLeftClick = false; }
  void ConsumeRightClick() { FRightClick = false; }
  TObjectRef Hover;
  // The cursor file last shown over this screen ("" for the default cursor).
  std::string CurrentCursor;

 private:
  void ApplyCursor(TKestControl& hover);
  void CloseRightClickMenus();

  int FIndex;
  TDIBX FSurface;
  TDIBX FKeySurface;
  TClipList FDirty;

  bool FLeftClick = false;
  bool FRightClick = false;
  bool FWheelDown = false;
  bool FWheelUp = false;
};

}  // namespace kest
