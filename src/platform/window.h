// The main window as the player sees it: a fixed-size client area holding the
// toolbar dock and the scene panel, a source of input events, and a presenter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/cursor_sink.h"
#include "platform/input_event.h"

namespace kest {

class TUiMessageBox;

struct TWindowLayout {
  int ClientWidth = 640;
  int ClientHeight = 480;
  bool ToolbarVisible = true;
  int PanelLeft = 0;
  int PanelTop = 0;
  int PanelWidth = 640;
  int PanelHeight = 480;
};

// A frame of the scene panel, rows top-down: 32-bit pixels are B, G, R, 0 in
// memory, 16-bit ones 5-6-5 and 15-bit ones 5-5-5 (little-endian words).
struct TPanelFrame {
  const uint8_t* Pixels = nullptr;
  int Width = 0;
  int Height = 0;
  ptrdiff_t PitchBytes = 0;
  int Bits = 32;
};

// Right and bottom exclusive.
struct TPixelRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class IWindow : public ICursorSink {
 public:
  virtual void SetTitle(const std::string& utf8) = 0;
  // Applies the client size and the panel placement, and centres the window
  // on the primary display's usable area.
  virtual void SetLayout(const TWindowLayout& layout) = 0;
  virtual const TWindowLayout& Layout() const = 0;
  virtual void Show() = 0;
  // Waits up to timeout_ms for events, then takes every pending one.
  virtual void WaitEvents(uint32_t timeoutMs, std::vector<TInputEvent>& out) = 0;
  // The open boxes, drawn over the scene, a box opened while another is up
  // above it. The top one receives the keyboard and the mouse; the scene and
  // the toolbar receive nothing while any is open, and closing the window
  // waits until none is.
  virtual void PushModal(TUiMessageBox* box) = 0;
  virtual void PopModal() = 0;
  // Shows the changed rectangles of the panel frame (all of it when `rects`
  // is null), with the toolbar and any box over it.
  virtual void Present(const TPanelFrame& frame, const TPixelRect* rects, int count) = 0;
  // Draws the window again when its own parts changed (first show, exposure,
  // the toolbar's hover, a box) with the last panel frame (black at first).
  virtual void Refresh() = 0;
  // Desktop full screen on or off; false when the switch failed.
  virtual bool SetFullScreen(bool on) = 0;
  virtual bool IsFullScreen() const = 0;
  // In full screen, show the client area at the largest whole multiple that
  // fits instead of 1:1.
  virtual void SetIntegerScaling(bool on) = 0;
  virtual void WarpMouse(int clientX, int clientY) = 0;
  // Typed text (TextInput events, input methods) is wanted only while a text
  // box holds the keyboard; `area` is where its text shows, in client pixels.
  virtual void SetTextInput(bool, const TPixelRect&) {}
  // Over the scene panel; a window that cannot change it keeps the arrow.
  void SetCursor(const TCursorPicture*) override {}
};

}  // namespace kest
