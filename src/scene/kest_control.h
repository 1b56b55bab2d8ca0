#pragma once
// The visual object: geometry, visibility, a parent and children, and the
// mouse and key event references every control keeps. Drawing, hit tests and
// focus build on these fields.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/kest_object.h"

namespace kest {

class TKestBase;

class TKestControl : public TKestComponent {
 public:
  explicit TKestControl(TKestBaseList& scene);

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

  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  virtual bool Visible() const { return FVisible; }
  int32_t Color() const { return FColor; }
  void SetColor(int32_t color) { FColor = color; }
  // The event reference stored under an event property id ("" when none).
  const std::string& EventReference(int32_t id) const;

 private:
  static constexpr size_t kEventCount = 14;
  static int32_t EventSlot(int32_t id);
  void AddChild(TKestControl* child);
  void RemoveChild(TKestControl* child);
  void SaveChildren(TStream& stream) const;
  void LoadChildren(TStream& stream, int32_t version);

  TKestControl* FParent = nullptr;
  std::vector<TKestControl*> FChildren;
  int32_t FLeft = 0;
  int32_t FTop = 0;
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  int32_t FAnchorX = 0;
  int32_t FAnchorY = 0;
  bool FVisible = true;
  int32_t FColor = 0xFFFFFF;
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
  bool FHandleKey = false;
  std::array<std::string, kEventCount> FEvents;
};

}  // namespace kest
