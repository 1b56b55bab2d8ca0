#include "platform/sdl/sdl_window.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/ui_message_box.h"
#include "platform/sdl/ui_toolbar.h"
#include "platform/ui_canvas.h"

namespace kest {

struct TSdlWindow::TImpl {
  static constexpr int kStackShift = 40;
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  // The scene panel: one streaming texture into which only the changed
  // rectangles are uploaded. 15- and 16-bit output is widened to 32 bits on
  // the way, each field's top bits repeated below it, so every renderer
  // shows the same colours.
  SDL_Texture* panel = nullptr;
  std::vector<uint32_t> widened;
  // The toolbar dock and the open boxes, painted by the UI kit when they change.
  SDL_Texture* dock = nullptr;
  SDL_Texture* box = nullptr;
  TUiBitmap dock_pixels{1, 1};
  TUiBitmap box_pixels{1, 1};
  TWindowLayout layout;
  TUiToolbar toolbar{std::shared_ptr<TUiFont>(TUiFont::Open("IPAGothic", 12))};
  // The open boxes, the last on top; each is drawn from box_rects.
  std::vector<TUiMessageBox*> modals;
  std::vector<SDL_Rect> box_rects;
  bool shown = false;
  bool dirty = true;
  bool chrome_dirty = true;
  bool fullscreen = false;
  bool covering = false;  // full screen as a borderless window, with no window manager to ask
  bool activated_once = false;
  Uint32 shown_at = 0;
  int offset_x = 0, offset_y = 0;  // where the client area's origin is shown
  int scale = 1;                   // and at which whole multiple
  bool integer_scaling = false;
  Uint32 drawn_at = 0;

  ~TImpl() {
    for (SDL_Texture* t : {panel, dock, box})
      if (t) SDL_DestroyTexture(t);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  void MakePanel() {
    if (panel) SDL_DestroyTexture(panel);
    const int pw = std::max(1, layout.PanelWidth), ph = std::max(1, layout.PanelHeight);
    // The fourth byte of a 32-bit pixel is not alpha: an X-R-G-B texture ignores it.
    panel = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, pw, ph);
    std::vector<uint32_t> black(static_cast<size_t>(pw) * ph, 0);
    SDL_UpdateTexture(panel, nullptr, black.data(), pw * 4);
    dirty = true;
  }

  void MakeBuffers() {
    MakePanel();
    for (SDL_Texture* t : {dock, box})
      if (t) SDL_DestroyTexture(t);
    const int cw = std::max(1, layout.ClientWidth), ch = std::max(1, layout.ClientHeight);
    dock =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, cw, TUiToolbar::kDockHeight);
    dock_pixels = TUiBitmap(cw, TUiToolbar::kDockHeight);
    box = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, cw, ch);
    box_pixels = TUiBitmap(cw, ch);
    chrome_dirty = true;
  }

  bool InToolbar(int x, int y) const {
    return layout.ToolbarVisible && y >= 0 && y < TUiToolbar::kDockHeight && x >= 0 && x < layout.ClientWidth;
  }

  static uint32_t Widen(uint16_t p, int bits) {
    const uint32_t r5 = bits == 15 ? (p >> 10) & 0x1F : p >> 11;
    const uint32_t g = bits == 15 ? (p >> 5) & 0x1F : (p >> 5) & 0x3F;
    const uint32_t b5 = p & 0x1F;
    const uint32_t g8 = bits == 15 ? (g << 3 | g >> 2) : (g << 2 | g >> 4);
    return (r5 << 3 | r5 >> 2) << 16 | g8 << 8 | (b5 << 3 | b5 >> 2);
  }

  void UploadArea(const TPanelFrame& frame, const SDL_Rect& area) {
    const uint8_t* first = frame.Pixels + area.y * frame.PitchBytes;
    if (frame.Bits == 32) {
      SDL_UpdateTexture(panel, &area, first + area.x * 4, static_cast<int>(frame.PitchBytes));
      return;
    }
    widened.resize(static_cast<size_t>(area.w) * area.h);
    for (int y = 0; y < area.h; ++y) {
      const auto* src = reinterpret_cast<const uint16_t*>(first + y * frame.PitchBytes) + area.x;
      uint32_t* dst = widened.data() + static_cast<size_t>(y) * area.w;
      for (int x = 0; x < area.w; ++x) dst[x] = Widen(src[x], frame.Bits);
    }
    SDL_UpdateTexture(panel, &area, widened.data(), area.w * 4);
  }

  void UploadPanel(const TPanelFrame& frame, const TPixelRect* rects, int count) {
    if (!frame.Pixels || frame.Width != layout.PanelWidth || frame.Height != layout.PanelHeight) return;
    if (frame.Bits != 15 && frame.Bits != 16 && frame.Bits != 32) return;
    if (!rects) {
      UploadArea(frame, SDL_Rect{0, 0, frame.Width, frame.Height});
      return;
    }
    for (int i = 0; i < count; ++i) {
      const int l = std::max(0, rects[i].Left), t = std::max(0, rects[i].Top);
      const int r = std::min(frame.Width, rects[i].Right), b = std::min(frame.Height, rects[i].Bottom);
      if (l < r && t < b) UploadArea(frame, SDL_Rect{l, t, r - l, b - t});
    }
  }

  void PaintChrome() {
    if (layout.ToolbarVisible) {
      TUiCanvas canvas = dock_pixels.Canvas();
      toolbar.Paint(canvas);
      SDL_UpdateTexture(dock, nullptr, dock_pixels.Pixels().data(), dock_pixels.Width() * 4);
    }
    box_rects.clear();
    for (size_t i = 0; i < modals.size(); ++i) PaintBox(*modals[i], static_cast<int>(i));
    chrome_dirty = false;
  }

  // A box is drawn over black in its own texture: its shadow darkens a band
  // beside it instead of blending with the scene. Each box above another is
  // set lower and to the right, so that the one below still shows.
  void PaintBox(TUiMessageBox& boxUi, int depth) {
    TUiCanvas canvas = box_pixels.Canvas();
    const int shift = depth * kStackShift;
    boxUi.Layout(TUiRect{shift, shift, std::max(1, canvas.width - shift), std::max(1, canvas.height - shift)});
    const TUiRect r = boxUi.Rect(), shadow = boxUi.ShadowRect();
    const int l = std::min(r.x, shadow.x), t = std::min(r.y, shadow.y);
    const int rr = std::max(r.x + r.w, shadow.x + shadow.w), bb = std::max(r.y + r.h, shadow.y + shadow.h);
    if (rr <= l || bb <= t) return;
    canvas.FillRect(l, t, rr - l, bb - t, 0);
    boxUi.Paint(canvas);
    const SDL_Rect rect{l, t, rr - l, bb - t};
    SDL_UpdateTexture(box, &rect, box_pixels.Pixels().data() + static_cast<size_t>(t) * canvas.pitch_pixels + l,
                      canvas.pitch_pixels * 4);
    box_rects.push_back(rect);
  }

  void Draw() {
    if (chrome_dirty || toolbar.NeedsRepaint() || BoxNeedsRepaint()) PaintChrome();
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    // In desktop full screen the client area is shown in the middle of the
    // screen with black borders, 1:1 or at a whole multiple.
    int out_w = layout.ClientWidth, out_h = layout.ClientHeight;
    SDL_GetRendererOutputSize(renderer, &out_w, &out_h);
    scale = 1;
    if (fullscreen && integer_scaling && layout.ClientWidth > 0 && layout.ClientHeight > 0)
      scale = std::max(1, std::min(out_w / layout.ClientWidth, out_h / layout.ClientHeight));
    offset_x = (out_w - layout.ClientWidth * scale) / 2;
    offset_y = (out_h - layout.ClientHeight * scale) / 2;
    auto place = [&](int x, int y, int w, int h) {
      return SDL_Rect{offset_x + x * scale, offset_y + y * scale, w * scale, h * scale};
    };
    SDL_Rect panel_dst = place(layout.PanelLeft, layout.PanelTop, layout.PanelWidth, layout.PanelHeight);
    SDL_RenderCopy(renderer, panel, nullptr, &panel_dst);
    if (layout.ToolbarVisible) {
      SDL_Rect dock_dst = place(0, 0, layout.ClientWidth, TUiToolbar::kDockHeight);
      SDL_RenderCopy(renderer, dock, nullptr, &dock_dst);
    }
    for (const SDL_Rect& r : box_rects) {
      SDL_Rect box_dst = place(r.x, r.y, r.w, r.h);
      SDL_RenderCopy(renderer, box, &r, &box_dst);
    }
    SDL_RenderPresent(renderer);
    dirty = false;
    drawn_at = SDL_GetTicks();
  }

  bool BoxNeedsRepaint() const {
    for (const TUiMessageBox* b : modals)
      if (b->NeedsRepaint()) return true;
    return false;
  }

  bool EnterDesktopFullScreen();
  bool CoverDisplay();
  void LeaveFullScreen();
  bool PointerAtScreenTop() const;
  bool ScreenSwitchKey(const SDL_KeyboardEvent& key, std::vector<TInputEvent>& out);
  void Translate(const SDL_Event& event, std::vector<TInputEvent>& out);
  void ToClient(SDL_Event& e) const;
  void RouteToModal(const SDL_Event& e);
};

std::unique_ptr<TSdlWindow> TSdlWindow::Create(std::string* error) {
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  auto impl = std::make_unique<TImpl>();
  impl->window = SDL_CreateWindow("KestPlayer", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  impl->layout.ClientWidth, impl->layout.ClientHeight, SDL_WINDOW_HIDDEN);
  if (!impl->window) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  impl->renderer = SDL_CreateRenderer(impl->window, -1, 0);
  if (!impl->renderer) impl->renderer = SDL_CreateRenderer(impl->window, -1, SDL_RENDERER_SOFTWARE);
  if (!impl->renderer) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  SDL_DisableScreenSaver();
  // Text input is on by default; an input method would take scene keys.
  SDL_StopTextInput();
  impl->MakeBuffers();
  return std::unique_ptr<TSdlWindow>(new TSdlWindow(std::move(impl)));
}

TSdlWindow::TSdlWindow(std::unique_ptr<TImpl> impl) : FImpl(std::move(impl)) {}
TSdlWindow::~TSdlWindow() = default;

void TSdlWindow::SetTitle(const std::string& utf8) { SDL_SetWindowTitle(FImpl->window, utf8.c_str()); }

const TWindowLayout& TSdlWindow::Layout() const { return FImpl->layout; }

void TSdlWindow::SetLayout(const TWindowLayout& layout) {
  const bool resized = layout.ClientWidth != FImpl->layout.ClientWidth ||
                       layout.ClientHeight != FImpl->layout.ClientHeight ||
                       layout.PanelWidth != FImpl->layout.PanelWidth || layout.PanelHeight != FImpl->layout.PanelHeight;
  FImpl->layout = layout;
  if (resized) {
    if (!FImpl->fullscreen) SDL_SetWindowSize(FImpl->window, layout.ClientWidth, layout.ClientHeight);
    // Centred on the primary display's usable area, rounding toward zero.
    SDL_Rect work;
    if (!FImpl->fullscreen && SDL_GetDisplayUsableBounds(0, &work) == 0) {
      SDL_SetWindowPosition(FImpl->window, work.x + (work.w - layout.ClientWidth) / 2,
                            work.y + (work.h - layout.ClientHeight) / 2);
    }
    FImpl->MakeBuffers();
  }
  FImpl->dirty = true;
  FImpl->chrome_dirty = true;
}

void TSdlWindow::Show() {
  SDL_ShowWindow(FImpl->window);
  SDL_RaiseWindow(FImpl->window);
  FImpl->shown = true;
  FImpl->shown_at = SDL_GetTicks();
  FImpl->dirty = true;
}

void TSdlWindow::TImpl::RouteToModal(const SDL_Event& e) {
  TUiMessageBox* modal = modals.back();
  switch (e.type) {
    case SDL_KEYDOWN:
      modal->OnKeyDown(SdlKeyToVk(e.key.keysym.sym, e.key.keysym.scancode, e.key.keysym.mod),
                       (e.key.keysym.mod & KMOD_SHIFT) != 0);
      break;
    case SDL_MOUSEMOTION: modal->OnMouseMove(e.motion.x, e.motion.y); break;
    case SDL_MOUSEBUTTONDOWN:
      if (e.button.button == SDL_BUTTON_LEFT) modal->OnMouseDown(e.button.x, e.button.y);
      break;
    case SDL_MOUSEBUTTONUP:
      if (e.button.button == SDL_BUTTON_LEFT) modal->OnMouseUp(e.button.x, e.button.y);
      break;
    default: return;
  }
  dirty = true;
}

void TSdlWindow::TImpl::ToClient(SDL_Event& e) const {
  // Floor division, so the border above or left of the scene stays negative.
  auto map = [](int v, int offset, int s) {
    const int d = v - offset;
    return d >= 0 ? d / s : -((-d + s - 1) / s);
  };
  if (e.type == SDL_MOUSEMOTION) {
    e.motion.x = map(e.motion.x, offset_x, scale);
    e.motion.y = map(e.motion.y, offset_y, scale);
  } else if (e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP) {
    e.button.x = map(e.button.x, offset_x, scale);
    e.button.y = map(e.button.y, offset_y, scale);
  }
}

// The window manager is asked for the full-screen state, which puts the
// window over the whole display whatever its panels and frames. A bare X
// server has nobody to answer, and the toolkit would then take the window
// for full screen while it stays as it was: a window manager is known by the
// frame it put around the window.
bool TSdlWindow::TImpl::EnterDesktopFullScreen() {
  int top = 0, left = 0, bottom = 0, right = 0;
  if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) != 0) return false;
  if (top <= 0 && left <= 0 && bottom <= 0 && right <= 0) return false;
  return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

bool TSdlWindow::TImpl::CoverDisplay() {
  SDL_Rect bounds;
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  if (SDL_GetDisplayBounds(display, &bounds) != 0) return false;
  SDL_SetWindowBordered(window, SDL_FALSE);
  SDL_SetWindowPosition(window, bounds.x, bounds.y);
  SDL_SetWindowSize(window, bounds.w, bounds.h);
  SDL_RaiseWindow(window);
  covering = true;
  return true;
}

void TSdlWindow::TImpl::LeaveFullScreen() {
  if (covering) {
    SDL_SetWindowBordered(window, SDL_TRUE);
    covering = false;
  } else {
    SDL_SetWindowFullscreen(window, 0);
  }
  SDL_SetWindowSize(window, layout.ClientWidth, layout.ClientHeight);
  SDL_Rect bounds;
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  if (SDL_GetDisplayUsableBounds(display, &bounds) == 0)
    SDL_SetWindowPosition(window, bounds.x + (bounds.w - layout.ClientWidth) / 2,
                          bounds.y + (bounds.h - layout.ClientHeight) / 2);
}

// The toolbar is called by the pointer at the top of the screen, even when
// a window manager left the full-screen window higher than the display.
bool TSdlWindow::TImpl::PointerAtScreenTop() const {
  SDL_Rect bounds;
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  if (SDL_GetDisplayBounds(display, &bounds) != 0) return false;
  int x = 0, y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  return y <= bounds.y;
}

// F11 and Alt+Enter switch the screen as the toolbar's button does, so that
// full screen can always be left from the keyboard; the game never sees them.
bool TSdlWindow::TImpl::ScreenSwitchKey(const SDL_KeyboardEvent& key, std::vector<TInputEvent>& out) {
  const SDL_Keycode sym = key.keysym.sym;
  const bool enter = sym == SDLK_RETURN || sym == SDLK_KP_ENTER;
  if (sym != SDLK_F11 && !(enter && (key.keysym.mod & KMOD_ALT))) return false;
  if (key.type == SDL_KEYDOWN && !key.repeat)
    out.push_back({.Type = TInputEvent::TType::ToolbarClick, .ToolbarButton = 1});
  return true;
}

void TSdlWindow::TImpl::Translate(const SDL_Event& event, std::vector<TInputEvent>& out) {
  using T = TInputEvent::TType;
  SDL_Event e = event;
  ToClient(e);
  TInputEvent ev;
  if (e.type == SDL_WINDOWEVENT) {
    switch (e.window.event) {
      case SDL_WINDOWEVENT_EXPOSED:
      case SDL_WINDOWEVENT_RESTORED: dirty = true; return;
      // Without a window manager (a bare X server) no focus event may come:
      // being shown counts as the first activation.
      case SDL_WINDOWEVENT_SHOWN:
        dirty = true;
        if (activated_once) return;
        activated_once = true;
        ev.Type = T::Activated;
        break;
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        activated_once = true;
        ev.Type = T::Activated;
        break;
      case SDL_WINDOWEVENT_FOCUS_LOST: ev.Type = T::Deactivated; break;
      case SDL_WINDOWEVENT_CLOSE:
        // A box must be answered first, as with any modal dialog.
        if (!modals.empty()) return;
        ev.Type = T::CloseRequest;
        break;
      default: return;
    }
    out.push_back(ev);
    return;
  }
  if (e.type == SDL_QUIT) {
    if (modals.empty()) out.push_back({T::CloseRequest});
    return;
  }
  if (!modals.empty()) {
    RouteToModal(e);
    return;
  }
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (ScreenSwitchKey(e.key, out)) return;
      ev.Type = e.type == SDL_KEYDOWN ? T::KeyDown : T::KeyUp;
      ev.Key = SdlKeyToVk(e.key.keysym.sym, e.key.keysym.scancode, e.key.keysym.mod);
      ev.Repeat = e.key.repeat != 0;
      if (ev.Key == 0) return;
      break;
    case SDL_MOUSEMOTION:
      ev.Type = T::MouseMove;
      ev.X = e.motion.x;
      ev.Y = fullscreen && PointerAtScreenTop() ? std::min(e.motion.y, 0) : e.motion.y;
      toolbar.OnMouseMove(ev.X, ev.Y);
      if (toolbar.NeedsRepaint()) dirty = true;
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      ev.X = e.button.x;
      ev.Y = e.button.y;
      const bool down = e.type == SDL_MOUSEBUTTONDOWN;
      if (InToolbar(ev.X, ev.Y) || (!down && toolbar.NeedsRepaint())) {
        if (down) {
          toolbar.OnMouseDown(ev.X, ev.Y);
        } else {
          const int clicked = toolbar.OnMouseUp(ev.X, ev.Y);
          if (clicked >= 0) out.push_back({.Type = T::ToolbarClick, .ToolbarButton = clicked});
        }
        dirty = true;
        if (down || InToolbar(ev.X, ev.Y)) return;
      }
      ev.Type = down ? T::MouseDown : T::MouseUp;
      ev.Button = e.button.button == SDL_BUTTON_LEFT    ? TInputEvent::kLeft
                  : e.button.button == SDL_BUTTON_RIGHT ? TInputEvent::kRight
                                                        : TInputEvent::kMiddle;
      if (down)
        SDL_CaptureMouse(SDL_TRUE);
      else
        SDL_CaptureMouse(SDL_FALSE);
      break;
    }
    case SDL_TEXTINPUT:
      ev.Type = T::TextInput;
      ev.Text = e.text.text;
      break;
    case SDL_MOUSEWHEEL: {
      int steps = e.wheel.y;
      if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) steps = -steps;
      if (steps == 0) return;
      ev.Type = T::Wheel;
      ev.WheelSteps = steps;
      break;
    }
    default: return;
  }
  out.push_back(ev);
}

void TSdlWindow::WaitEvents(uint32_t timeoutMs, std::vector<TInputEvent>& out) {
  SDL_Event e;
  if (SDL_WaitEventTimeout(&e, static_cast<int>(timeoutMs)) == 0) return;
  do {
    FImpl->Translate(e, out);
  } while (SDL_PollEvent(&e));
}

void TSdlWindow::PushModal(TUiMessageBox* box) {
  FImpl->modals.push_back(box);
  FImpl->dirty = true;
  FImpl->chrome_dirty = true;
}

void TSdlWindow::PopModal() {
  if (!FImpl->modals.empty()) FImpl->modals.pop_back();
  FImpl->dirty = true;
  FImpl->chrome_dirty = true;
}

void TSdlWindow::Present(const TPanelFrame& frame, const TPixelRect* rects, int count) {
  FImpl->UploadPanel(frame, rects, count);
  if (FImpl->shown) FImpl->Draw();
}

void TSdlWindow::Refresh() {
  if (!FImpl->shown) return;
  // A frame presented while the X server is still mapping the window can be
  // lost, and a bare server sends no exposure for it: keep presenting for a
  // while after showing, and now and then afterwards.
  const Uint32 now = SDL_GetTicks();
  const bool settling = now - FImpl->shown_at < 2000;
  if (FImpl->dirty || now - FImpl->drawn_at >= (settling ? 30u : 500u)) FImpl->Draw();
}

bool TSdlWindow::SetFullScreen(bool on) {
  if (on && !FImpl->EnterDesktopFullScreen() && !FImpl->CoverDisplay()) return false;
  if (!on) FImpl->LeaveFullScreen();
  FImpl->fullscreen = on;
  FImpl->dirty = true;
  return true;
}

bool TSdlWindow::IsFullScreen() const { return FImpl->fullscreen; }

void TSdlWindow::SetIntegerScaling(bool on) {
  FImpl->integer_scaling = on;
  FImpl->dirty = true;
}

void TSdlWindow::WarpMouse(int clientX, int clientY) {
  SDL_WarpMouseInWindow(FImpl->window, FImpl->offset_x + clientX * FImpl->scale,
                        FImpl->offset_y + clientY * FImpl->scale);
}

void TSdlWindow::SetTextInput(bool on, const TPixelRect& area) {
  if (!on) {
    SDL_StopTextInput();
    return;
  }
  SDL_Rect r{FImpl->offset_x + area.Left * FImpl->scale, FImpl->offset_y + area.Top * FImpl->scale,
             (area.Right - area.Left) * FImpl->scale, (area.Bottom - area.Top) * FImpl->scale};
  SDL_SetTextInputRect(&r);
  SDL_StartTextInput();
}

}  // namespace kest
