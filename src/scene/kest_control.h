#pragma once
// The visual object: geometry, visibility, a parent and children, and the
// mouse and key event references every control keeps. Drawing, hit tests and
// focus build on these fields.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/string_lists.h"
#include "imaging/rect.h"
#include "scene/kest_object.h"

namespace kest {

class TStateIo;

class TCustomDIBX;
class TKestBase;
class TKestMotion;

// Mouse transparency modes, and the sets a hit test takes (bit m for mode m).
enum TIgnoreMouse : uint8_t { IM_NONE = 0, IM_ALL = 1, IM_CLICK = 2, IM_LCLICK = 3, IM_RCLICK = 4 };
inline constexpr uint8_t kHitLeftClick = (1 << IM_NONE) | (1 << IM_RCLICK);
inline constexpr uint8_t kHitRightClick = (1 << IM_NONE) | (1 << IM_LCLICK);
inline constexpr uint8_t kHitHover = (1 << IM_NONE) | (1 << IM_CLICK) | (1 << IM_LCLICK) | (1 << IM_RCLICK);

class TKestControl : public TKestComponent {
 public:
  explicit TKestControl(TKestBaseList& scene);
  ~TKestControl() override;

  bool IsControl() const override { return true; }
  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  void SetPriority(int32_t priority) override;
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;
  void Detach() override;

  TKestControl* Parent() const { return FParent; }
  // Moves the control under a new parent; a parent that is the control itself
  // or lies below it is refused (false).
  bool SetParent(TKestControl* parent);
  int32_t ChildCount() const { return static_cast<int32_t>(FChildren.size()); }
  TKestControl* Child(int32_t index) const { return FChildren[static_cast<size_t>(index)]; }
  const std::vector<TKestControl*>& Children() const { return FChildren; }
  void SortChildren();
  bool IsDescendantOf(const TKestControl* control) const;
  // The base screen the control lies on (a base screen answers itself).
  TKestBase* BaseScreen();

  // Geometry. The absolute position is in base-screen pixels.
  virtual int32_t AbsLeft() const;
  virtual int32_t AbsTop() const;
  // Kinds that show a rotated or zoomed image cover another area.
  virtual TRect BoundsRect() const;
  // Empty when the control has no clip.
  TRect ClipRectAbs() const;
  virtual int32_t ZoomX() const { return 256; }
  virtual int32_t ZoomY() const { return 256; }
  virtual bool MirroredH() const { return false; }
  virtual bool MirroredV() const { return false; }
  // Only tiles and message windows scroll their children.
  virtual int32_t ScrollX() const { return 0; }
  virtual int32_t ScrollY() const { return 0; }
  // The picture a pixel-locked child is placed in, when the kind shows one.
  virtual const TCustomDIBX* ImageSurface() const { return nullptr; }
  TKestMotion* Motion() const { return FMotion.get(); }

  // Drawing: Paint is the kind's own picture, Draw adds the children.
  void Invalidate();
  // A rectangle on its way up to the base screen's dirty list.
  virtual void AddDirtyRect(const TRect& rect);
  void Draw(TCustomDIBX& surface);
  virtual void Paint(TCustomDIBX&) {}
  // The control or child under a point, among controls whose mouse mode is
  // in the set (bit m for mode m); null when none.
  TKestControl* HitTest(int32_t x, int32_t y, uint8_t modes);
  // Whether a point lies in the control's area (its children are tried there).
  virtual bool HitsPoint(int32_t x, int32_t y);
  // Whether the control itself answers at a point of its area: kinds narrow
  // it to their image mask.
  virtual bool HitsSelf(int32_t, int32_t) { return true; }

  // Input handlers, called by the scene's input phase.
  virtual void LeftDown();
  virtual void LeftUp();
  virtual void RightDown();
  virtual void RightUp();
  virtual void MouseMove();
  virtual void MouseIn(TKestControl* previous);
  virtual void MouseOut(TKestControl* next);
  virtual void Held() {}
  virtual void KeyDown(const TArrayString& keys);
  virtual void KeyUp(const TArrayString& keys);
  virtual void KeyRepeat(const TArrayString& keys);
  virtual void FocusGained() {}
  // Kinds that close on a right click answer whether they did.
  virtual bool CloseByRightClick() { return false; }
  // The last visible descendant, or the control itself, that takes the focus.
  TKestControl* FindFocusable();
  bool TakesFocus() const { return FHandleKey; }
  bool IsStopped() const;
  bool InCabinet() const;
  // Visible, on the front base screen, and every ancestor visible.
  bool IsShowing();
  // Posts an event with the mouse position relative to the control.
  void PostMouseEvent(int32_t code);

  // After-image copies answer the control they were made from (null once
  // that is gone) and their alpha.
  virtual bool IsAfterImage() const { return false; }
  virtual const TKestControl* BlurSource() const { return nullptr; }
  virtual int32_t BlurAlpha() const { return 0; }
  virtual void PositionChanged() {}
  virtual void ClipChanged() {}
  virtual void EnterCabinet() {}
  virtual void LeaveCabinet() {}

  int32_t AnchorX() const { return FAnchorX; }
  int32_t AnchorY() const { return FAnchorY; }
  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  virtual bool Visible() const { return FVisible; }
  int32_t Color() const { return FColor; }
  void SetColor(int32_t color);
  void SetVisible(bool visible);
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  // Tools mark a control by laying a checker over it.
  void SetSelectionMark(bool on);
  // The event reference stored under an event property id ("" when none).
  const std::string& EventReference(int32_t id) const;

 private:
  static constexpr size_t kEventCount = 14;
  static int32_t EventSlot(int32_t id);
  // Stores a geometry value the way every geometry setter does: nothing when
  // unchanged, else the old area and the new one are redrawn.
  void ChangeGeometry(int32_t& field, int32_t value);
  void NotifyPosition();
  void NotifyClip();
  // Joins a parent's children; sorted unless a record is loading them all.
  void ChangeParent(TKestControl* parent, bool sort = true);
  void DrawChildren(TCustomDIBX& surface, const TRect& r);
  void AddChild(TKestControl* child, bool sort);
  void RemoveChild(TKestControl* child);
  void SaveChildren(TStream& stream) const;
  void LoadChildren(TStream& stream, int32_t version);
  // The control's own part of the record, in both directions.
  void Serialise(TStateIo& io);

  TKestControl* FParent = nullptr;
  std::vector<TKestControl*> FChildren;
  int32_t FLeft = 0;
  int32_t FTop = 0;
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  int32_t FAnchorX = 0;
  int32_t FAnchorY = 0;
  bool FVisible = true;
  int32_t FColor = -1;  // no fill
  std::array<int32_t, 4> FSpareRect{0, 0, 1, 1};
  uint8_t FIgnoreMouse = 0;
  std::string FCursor;
  bool FPosZoomed = false;
  int32_t FClipLeft = 0;
  int32_t FClipTop = 0;
  int32_t FClipWidth = 0;
  int32_t FClipHeight = 0;
  int32_t FMotionX = 0;
  int32_t FMotionY = 0;
  int32_t FPlusX = 0;
  int32_t FPlusY = 0;
  bool FAniPaused = false;
  bool FSelectionMark = false;
  bool FHandleKey = false;
  std::array<std::string, kEventCount> FEvents;
  std::unique_ptr<TKestMotion> FMotion;
};

}  // namespace kest
