#include "shell/screen_part.h"

#include <filesystem>

#include "platform/window.h"
#include "storage/zlib_codec.h"

namespace kest {

void TScreenPart::DrawTestPattern(TCustomDIBX& output) {
  static const uint32_t kBars[] = {0xFFFFFF, 0x00FFFF, 0xFFFF00, 0x00FF00, 0xFF00FF, 0x0000FF, 0xFF0000, 0x000000};
  const int32_t w = output.Width(), h = output.Height();
  for (int32_t i = 0; i < 8; ++i)
    output.FillRect(TRect{w * i / 8, 0, w * (i + 1) / 8, h * 2 / 3}, output.ColorToPixel(kBars[i]));
  for (int32_t i = 0; i < 16; ++i) {
    const uint32_t grey = static_cast<uint32_t>(i * 17) * 0x010101u;
    output.FillRect(TRect{w * i / 16, h * 2 / 3, w * (i + 1) / 16, h}, output.ColorToPixel(grey));
  }
  const uint32_t white = output.ColorToPixel(0xFFFFFF);
  output.FillRect(TRect{0, 0, w, 1}, white);
  output.FillRect(TRect{0, h - 1, w, h}, white);
  output.FillRect(TRect{0, 0, 1, h}, white);
  output.FillRect(TRect{w - 1, 0, w, h}, white);
}

void TScreenPart::Present() {
  if (FTestPattern && FScreen->Output() && FPatternBuild != FScreen->Builds()) {
    FPatternBuild = FScreen->Builds();
    DrawTestPattern(*FScreen->Output());
  }
  FScreen->Present(FDirty ? FDirty() : std::vector<TRect>(), TRect{});
  if (FObserver && FScreen->Output()) FObserver(*FScreen->Output());
}

bool TScreenPart::SetMode(int index) {
  FScreen->SetMode(index);
  return FScreen->CurrentMode() == index;
}

void TWindowScreenOutput::PresentRects(const TCustomDIBX& output, const TRect* rects, int count) {
  TPanelFrame frame;
  frame.Pixels = output.ScanLine(0);
  frame.Width = output.Width();
  frame.Height = output.Height();
  frame.PitchBytes = output.LineStep();
  frame.Bits = output.BitCount();
  if (!rects) {
    FWindow.Present(frame, nullptr, 0);
    return;
  }
  std::vector<TPixelRect> pixel_rects;
  pixel_rects.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) pixel_rects.push_back({rects[i].Left, rects[i].Top, rects[i].Right, rects[i].Bottom});
  FWindow.Present(frame, pixel_rects.data(), count);
}

bool TWindowScreenOutput::SetFullScreen(bool on) {
  if (FWindow.IsFullScreen() == on) return true;
  return FWindow.SetFullScreen(on);
}

THeadlessCapture::~THeadlessCapture() {
  if (FCrc) std::fclose(FCrc);
}

bool THeadlessCapture::SetCrcFile(const std::string& path, std::string* error) {
  FCrc = std::fopen(path.c_str(), "w");
  if (!FCrc && error) *error = "cannot write " + path;
  return FCrc != nullptr;
}

uint32_t THeadlessCapture::FrameCrc(const TCustomDIBX& output) {
  const size_t row_bytes = (static_cast<size_t>(output.Width()) * output.StoredBitCount() + 7) / 8;
  uint32_t crc = 0;
  for (int32_t y = 0; y < output.Height(); ++y) crc = Crc32({output.ScanLine(y), row_bytes}, crc);
  return crc;
}

void THeadlessCapture::OnFrame(const TCustomDIBX& output) {
  ++FFrames;
  FLastCrc = FrameCrc(output);
  const int64_t frame = FClock ? FClock->FrameCount : FFrames;
  if (FCrc) std::fprintf(FCrc, "%lld %08x\n", static_cast<long long>(frame), FLastCrc);
  if (FFolder.empty() || (FOnlyFrame > 0 && FOnlyFrame != frame)) return;
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06lld.png", static_cast<long long>(frame));
  output.SaveToFile((std::filesystem::path(FFolder) / name).string());
}

}  // namespace kest
