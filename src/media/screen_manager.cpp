#include "media/screen_manager.h"

namespace kest {

TScreenManager::TScreenManager(IDisplay* display, IScreenOutput* sink, int32_t min_width, int32_t min_height,
                               int32_t preferred_width, int32_t preferred_height, int32_t forced_bits)
    : display_(display), sink_(sink), min_width_(min_width), min_height_(min_height), forced_bits_(forced_bits) {
  if (display_) {
    TDisplayFormat desktop;
    if (display_->DesktopFormat(desktop)) desktop_bits_ = desktop.Bits;
    modes_.Build(display_->Modes(), min_width, min_height, preferred_width, preferred_height, desktop_bits_);
  }
  current_mode_ = -2;
  SetMode(-1);
}

TDisplayMode TScreenManager::GetMode(int32_t index) const {
  if (index < 0 || index >= modes_.Count()) return {};
  return modes_.Modes()[static_cast<size_t>(index)];
}

void TScreenManager::SetMode(int32_t index) {
  if (index == current_mode_) return;
  const bool was_full = current_mode_ >= 0;
  current_mode_ = index;
  if (was_full != (index >= 0)) output_.reset();
  BuildMode();
  if (index >= 0 && !is_full_screen_) {
    current_mode_ = -1;
    BuildMode();
  }
}

void TScreenManager::Release() {
  output_.reset();
  if (is_full_screen_ && sink_) sink_->SetFullScreen(false);
  is_full_screen_ = false;
  current_mode_ = -2;
}

void TScreenManager::MakeOutput(int32_t bits) {
  if (forced_bits_ == 15 || forced_bits_ == 16 || forced_bits_ == 32) bits = forced_bits_;
  output_ = std::make_unique<TDIBX>(min_width_, min_height_, bits);
  output_->Fill(0);
  output_bits_ = bits;
  uses_memory_surfaces_ = true;
  present_all_ = true;
  ++builds_;
}

void TScreenManager::BuildMode() {
  is_full_screen_ = false;
  uses_memory_surfaces_ = false;
  output_.reset();
  TDisplayFormat format;
  if (!display_ || !display_->DesktopFormat(format)) {
    MakeOutput(16);
    return;
  }
  if (current_mode_ < 0) {
    if (sink_) sink_->SetFullScreen(false);
    display_bits_ = format.Bits;
    MakeOutput(OutputBitsForDisplay(format, false));
    return;
  }
  if (current_mode_ >= modes_.Count() || (sink_ && !sink_->SetFullScreen(true))) return;
  // Desktop full screen keeps the desktop's pixel format.
  display_bits_ = format.Bits;
  MakeOutput(OutputBitsForDisplay(format, true));
  is_full_screen_ = true;
}

void TScreenManager::Present(const std::vector<TRect>& dirty, const TRect& transition) {
  if (!output_ || !sink_) return;
  if (present_all_) {
    present_all_ = false;
    sink_->PresentRects(*output_, nullptr, 0);
    return;
  }
  if (!transition.IsEmpty()) {
    sink_->PresentRects(*output_, &transition, 1);
    return;
  }
  std::vector<TRect> rects;
  rects.reserve(dirty.size());
  for (const TRect& r : dirty)
    if (!r.IsEmpty()) rects.push_back(r);
  if (!rects.empty()) sink_->PresentRects(*output_, rects.data(), static_cast<int>(rects.size()));
}

}  // namespace kest
