// The screen manager as the main window drives it, and the two places its
// frames go: the window, or the headless capture.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/game_clock.h"
#include "media/screen_manager.h"
#include "shell/player_parts.h"

namespace kest {

class IWindow;

class TScreenPart final : public IPlayerScreen {
 public:
  using TFrameObserver = std::function<void(const TCustomDIBX& output)>;
  explicit TScreenPart(std::unique_ptr<TScreenManager> screen, TFrameObserver observer = nullptr)
      : FScreen(std::move(screen)), FObserver(std::move(observer)) {}
  void Present() override;
  int CurrentMode() const override { return FScreen->CurrentMode(); }
  int ChosenMode() const override { return FScreen->ChosenMode(); }
  void SetChosenMode(int index) override { FScreen->SetChosenMode(index); }
  int ModeCount() const override { return FScreen->ModeCount(); }
  bool SetMode(int index) override;
  void ReleaseDisplay() override { FScreen->Release(); }
  TScreenManager& Manager() { return *FScreen; }
  // Shows a test picture in place of the scene (a check of the display).
  void SetTestPattern(bool on) { FTestPattern = on; }
  // Where the changed rectangles of each frame come from (the scene).
  void SetDirtySource(std::function<std::vector<TRect>()> source) { FDirty = std::move(source); }

  // Colour bars over a grid, with a white frame around the edge.
  static void DrawTestPattern(TCustomDIBX& output);

 private:
  std::unique_ptr<TScreenManager> FScreen;
  TFrameObserver FObserver;
  bool FTestPattern = false;
  int32_t FPatternBuild = -1;
  std::function<std::vector<TRect>()> FDirty;
};

class TWindowScreenOutput final : public IScreenOutput {
 public:
  explicit TWindowScreenOutput(IWindow& window) : FWindow(window) {}
  void PresentRects(const TCustomDIBX& output, const TRect* rects, int count) override;
  bool SetFullScreen(bool on) override;

 private:
  IWindow& FWindow;
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
  void SetCaptureFolder(const std::string& folder, int64_t onlyFrame) {
    FFolder = folder;
    FOnlyFrame = onlyFrame;
  }
  void PresentRects(const TCustomDIBX&, const TRect*, int) override { ++FPresented; }
  bool SetFullScreen(bool) override { return true; }
  // The frame number of a capture is the clock's frame count.
  void SetClock(const TGameClock* clock) { FClock = clock; }
  void OnFrame(const TCustomDIBX& output);
  int64_t Frames() const { return FFrames; }
  int64_t Presented() const { return FPresented; }
  uint32_t LastCrc() const { return FLastCrc; }

  static uint32_t FrameCrc(const TCustomDIBX& output);

 private:
  std::FILE* FCrc = nullptr;
  const TGameClock* FClock = nullptr;
  std::string FFolder;
  int64_t FOnlyFrame = 0;
  int64_t FPresented = 0;
  int64_t FFrames = 0;
  uint32_t FLastCrc = 0;
};

}  // namespace kest
