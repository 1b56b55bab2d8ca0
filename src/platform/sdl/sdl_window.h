// The main window on SDL2: one renderer, a streaming texture for the scene
// panel, and the toolbar and any modal box drawn by the player's UI kit.
#pragma once

#include <memory>
#include <string>

#include "platform/window.h"

struct SDL_Cursor;

namespace kest {

class TSdlWindow final : public IWindow {
 public:
  // nullptr (with the reason in *error) when no window can be made.
  static std::unique_ptr<TSdlWindow> Create(std::string* error);
  ~TSdlWindow() override;

  void SetTitle(const std::string& utf8) override;
  void SetLayout(const TWindowLayout& layout) override;
  const TWindowLayout& Layout() const override;
  void Show() override;
  void WaitEvents(uint32_t timeoutMs, std::vector<TInputEvent>& out) override;
  void PushModal(TUiMessageBox* box) override;
  void PopModal() override;
  void Present(const TPanelFrame& frame, const TPixelRect* rects, int count) override;
  void Refresh() override;
  bool SetFullScreen(bool on) override;
  bool IsFullScreen() const override;
  void SetIntegerScaling(bool on) override;
  void WarpMouse(int clientX, int clientY) override;
  void SetTextInput(bool on, const TPixelRect& area) override;
  void SetCursor(const TCursorPicture* picture) override;

 private:
  struct TImpl;
  explicit TSdlWindow(std::unique_ptr<TImpl> impl);
  std::unique_ptr<TImpl> FImpl;
  // Freed before the window; null while the system's arrow shows.
  std::shared_ptr<SDL_Cursor> FCursor;
};

}  // namespace kest
