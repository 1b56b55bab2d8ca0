// The screen manager as the main window drives it, and the two places its
// frames go: the window, or the headless capture.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "media/screen_manager.h"
#include "shell/player_parts.h"

namespace kest {

class IWindow;

class TScreenPart final : public IPlayerScreen {
 public:
  using TFrameObserver = std::function<void(const TCustomDIBX& output)>;
  explicit TScreenPart(std::unique_ptr<TScreenManager> screen, TFrameObserver observer = nullptr)
      : screen_(std::move(screen)), observer_(std::move(observer)) {}
  void Present() override;
  int CurrentMode() const override { return screen_->CurrentMode(); }
  int ChosenMode() const override { return screen_->ChosenMode(); }
  void SetChosenMode(int index) override { screen_->SetChosenMode(index); }
  int ModeCount() const override { return screen_->ModeCount(); }
  bool SetMode(int index) override;
  void ReleaseDisplay() override { screen_->Release(); }
  TScreenManager& Manager() { return *screen_; }
  // Shows a test picture in place of the scene (a check of the display).
  void SetTestPattern(bool on) { test_pattern_ = on; }

  // Colour bars over a grid, with a white frame around the edge.
  static void DrawTestPattern(TCustomDIBX& output);

 private:
  std::unique_ptr<TScreenManager> screen_;
  TFrameObserver observer_;
  bool test_pattern_ = false;
  int32_t pattern_build_ = -1;
};

class TWindowScreenOutput final : public IScreenOutput {
 public:
  explicit TWindowScreenOutput(IWindow& window) : window_(window) {}
  void PresentRects(const TCustomDIBX& output, const TRect* rects, int count) override;
  bool SetFullScreen(bool on) override;

 private:
  IWindow& window_;
};

// The headless player's screen: counts what is presented, and for every
// drawn tick writes a CRC-32 of the output ("TICK CRC" lines, TICK being the
// count of ticks that reached the scene update) and a PNG picture of every
// tick or of one chosen tick.
class THeadlessCapture final : public IScreenOutput {
 public:
  ~THeadlessCapture() override;
  // False (with the reason) when a file cannot be written.
  bool SetCrcFile(const std::string& path, std::string* error);
  void SetCaptureFolder(const std::string& folder, int64_t only_frame) {
    folder_ = folder;
    only_frame_ = only_frame;
  }
  void PresentRects(const TCustomDIBX&, const TRect*, int) override { ++presented_; }
  bool SetFullScreen(bool) override { return true; }
  void OnFrame(const TCustomDIBX& output);
  int64_t Frames() const { return frames_; }
  int64_t Presented() const { return presented_; }
  uint32_t LastCrc() const { return last_crc_; }

  static uint32_t FrameCrc(const TCustomDIBX& output);

 private:
  std::FILE* crc_ = nullptr;
  std::string folder_;
  int64_t only_frame_ = 0;
  int64_t presented_ = 0;
  int64_t frames_ = 0;
  uint32_t last_crc_ = 0;
};

}  // namespace kest
