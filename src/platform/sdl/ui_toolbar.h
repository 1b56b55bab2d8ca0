// The toolbar dock along the top of the main window: a flat toolbar of two
// buttons, "終了" and "画面切替", drawn and mouse-tracked by the player.
#pragma once

#include <memory>
#include <string>

#include "platform/sdl/ui_font.h"
#include "platform/ui_canvas.h"

namespace kest {

class TUiToolbar {
 public:
  static constexpr int kDockHeight = 22, kButtonWidth = 67, kButtonHeight = 18;
  static constexpr int kButtonCount = 2;
  static constexpr int kExitButton = 0, kScreenButton = 1;

  // The captions are drawn with the font; without one the buttons stay blank.
  explicit TUiToolbar(std::shared_ptr<TUiFont> font);

  static TUiRect ButtonRect(int index);
  static const char* Caption(int index);

  // Paints the dock across the canvas width, from the canvas top.
  void Paint(TUiCanvas& canvas);
  // The button under a point of dock coordinates, or -1.
  int HitTest(int x, int y) const;

  void OnMouseMove(int x, int y);
  void OnMouseDown(int x, int y);
  // The button clicked: pressed and released on the same button; else -1.
  int OnMouseUp(int x, int y);
  // The pointer left the dock (or the window).
  void OnMouseLeave();

  int Hot() const { return FHot; }
  int Pressed() const { return FPressed; }
  bool NeedsRepaint() const { return FDirty; }

 private:
  void SetHot(int index);
  void PaintButton(TUiCanvas& canvas, int index);

  std::shared_ptr<TUiFont> FFont;
  int FHot = -1;
  int FPressed = -1;
  bool FDirty = true;
};

}  // namespace kest
