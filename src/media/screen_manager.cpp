#include "media/screen_manager.h"

namespace kest {

TScreenManager::TScreenManager(IDisplay* display, IScreenOutput* sink, int32_t minWidth, int32_t minHeight,
                               int32_t preferredWidth, int32_t preferredHeight, int32_t forcedBits)
    : FDisplay(display), FSink(sink), FMinWidth(minWidth), FMinHeight(minHeight), FForcedBits(forcedBits) {
  if (FDisplay) {
    TDisplayFormat desktop;
    if (FDisplay->DesktopFormat(desktop)) FDesktopBits = desktop.Bits;
    FModes.Build(FDisplay->Modes(), minWidth, minHeight, preferredWidth, preferredHeight, FDesktopBits);
  }
  FCurrentMode = -2;
  SetMode(-1);
}

TDisplayMode TScreenManager::GetMode(int32_t index) const {
  if (index < 0 || index >= FModes.Count()) return {};
  return FModes.Modes()[static_cast<size_t>(index)];
}

void TScreenManager::SetMode(int32_t index) {
  if (index == FCurrentMode) return;
  const bool was_full = FCurrentMode >= 0;
  FCurrentMode = index;
  if (was_full != (index >= 0)) FOutput.reset();
  BuildMode();
  if (index >= 0 && !FIsFullScreen) {
    FCurrentMode = -1;
    BuildMode();
  }
}

void TScreenManager::Release() {
  FOutput.reset();
  if (FIsFullScreen && FSink) FSink->SetFullScreen(false);
  FIsFullScreen = false;
  FCurrentMode = -2;
}

void TScreenManager::MakeOutput(int32_t bits) {
  if (FForcedBits == 15 || FForcedBits == 16 || FForcedBits == 32) bits = FForcedBits;
  FOutput = std::make_unique<TDIBX>(FMinWidth, FMinHeight, bits);
  FOutput->Fill(0);
  FOutputBits = bits;
  FUsesMemorySurfaces = true;
  FPresentAll = true;
  ++FBuilds;
}

void TScreenManager::BuildMode() {
  FIsFullScreen = false;
  FUsesMemorySurfaces = false;
  FOutput.reset();
  TDisplayFormat format;
  if (!FDisplay || !FDisplay->DesktopFormat(format)) {
    MakeOutput(16);
    return;
  }
  if (FCurrentMode < 0) {
    if (FSink) FSink->SetFullScreen(false);
    FDisplayBits = format.Bits;
    MakeOutput(OutputBitsForDisplay(format, false));
    return;
  }
  if (FCurrentMode >= FModes.Count() || (FSink && !FSink->SetFullScreen(true))) return;
  // Desktop full screen keeps the desktop's pixel format.
  FDisplayBits = format.Bits;
  MakeOutput(OutputBitsForDisplay(format, true));
  FIsFullScreen = true;
}

void TScreenManager::Present(const std::vector<TRect>& dirty, const TRect& transition) {
  if (!FOutput || !FSink) return;
  if (FPresentAll) {
    FPresentAll = false;
    FSink->PresentRects(*FOutput, nullptr, 0);
    return;
  }
  if (!transition.IsEmpty()) {
    FSink->PresentRects(*FOutput, &transition, 1);
    return;
  }
  std::vector<TRect> rects;
  rects.reserve(dirty.size());
  for (const TRect& r : dirty)
    if (!r.IsEmpty()) rects.push_back(r);
  if (!rects.empty()) FSink->PresentRects(*FOutput, rects.data(), static_cast<int>(rects.size()));
}

}  // namespace kest
