// A message box or question drawn inside the main window, modal over the
// scene: a caption bar, an icon, wrapped text and a row of buttons, answered
// with the keyboard (virtual-key codes) or the mouse.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sdl/ui_font.h"
#include "platform/ui_box_kinds.h"
#include "platform/ui_canvas.h"

namespace kest {

struct TUiButton {
  // UTF-8. "&" marks the next character as the button's access key and is
  // not shown; "&&" shows one "&".
  std::string caption;
  TUiResult result = TUiResult::None;
};

class TUiMessageBox {
 public:
  // An empty button list gets a single OK button, so that every box can be
  // answered. cancel_result is what Esc answers; None leaves Esc without effect.
  TUiMessageBox(std::shared_ptr<TUiFont> font, std::string caption, std::string text, TUiIcon icon,
                std::vector<TUiButton> buttons, int defaultButton, TUiResult cancelResult);

  // A box with one of the standard button sets, captioned in Japanese or
  // English, the first button as default.
  static TUiMessageBox Standard(std::shared_ptr<TUiFont> font, std::string caption, std::string text, TUiIcon icon,
                                TUiButtons buttons, bool japanese);
  static std::vector<TUiButton> StandardButtons(TUiButtons buttons, bool japanese);
  // Esc answers Cancel, else No; a lone OK box answers OK.
  static TUiResult StandardCancel(TUiButtons buttons);

  // Centres the box in the area; the box and its buttons never leave it.
  void Layout(int areaW, int areaH);
  void Layout(const TUiRect& area);
  // Draws the box and its shadow, clipped to the layout area; nothing else of
  // the canvas changes. Lays the box out over the whole canvas if Layout was
  // never called.
  void Paint(TUiCanvas& canvas);

  // Keys as virtual-key codes. True when the key meant something to the box.
  bool OnKeyDown(int vk, bool shift = false);
  void OnMouseMove(int x, int y);
  void OnMouseDown(int x, int y);
  void OnMouseUp(int x, int y);

  std::optional<TUiResult> Result() const { return FResult; }
  bool NeedsRepaint() const { return FDirty; }

  const TUiRect& Rect() const { return FRect; }
  // The part of the shadow that is drawn (inside the layout area).
  TUiRect ShadowRect() const;
  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TUiRect ButtonRect(int index) const;
  int Focus() const { return FFocus; }
  const std::vector<std::string>& Lines() const { return FLines; }

 private:
  struct TButtonFace {
    std::string label;       // the caption without its "&" marks
    std::string before_key;  // the label up to its access key, for the underline
    int key = 0;             // the access key as a virtual-key code, 0 for none
    TUiResult result = TUiResult::None;
    TUiRect rect;
  };
  struct TIconLayer {
    std::vector<uint8_t> coverage;
    uint32_t color = 0;
  };

  int Advance(char32_t cp);
  int TextWidth(std::string_view utf8);
  int LineHeight() const;
  int FontHeight() const;
  void Wrap(int width);
  void PlaceButtons(int innerLeft, int innerWidth, int top, int height);
  int HitButton(int x, int y) const;
  void Answer(TUiResult result);
  void MoveFocus(int step);
  void PaintFrame(TUiCanvas& canvas);
  void PaintText(TUiCanvas& canvas);
  void PaintButton(TUiCanvas& canvas, int index);

  std::shared_ptr<TUiFont> FFont;
  std::string FCaption;
  std::string FText;
  TUiIcon FIcon;
  std::vector<TIconLayer> FIconLayers;
  std::vector<TButtonFace> FButtons;
  TUiResult FCancel;
  int FFocus = 0;
  int FHot = -1;
  int FPressed = -1;
  std::optional<TUiResult> FResult;
  bool FDirty = true;
  bool FLaidOut = false;

  TUiRect FArea;
  TUiRect FRect;
  TUiRect FTextRect;
  int FTitleHeight = 0;
  int FIconX = 0, FIconY = 0;
  std::vector<std::string> FLines;
};

}  // namespace kest
