#include "scene/scene_cursor.h"

#include "common/errors.h"
#include "imaging/pexa_collection.h"

namespace kest {

namespace {

// Larger pictures are no cursors; the system would refuse them anyway.
constexpr int32_t kMaxCursorSide = 256;

}  // namespace

void TSceneCursor::Show(const std::string& file, TPexaCollection* pictures) {
  if (!FSink || ((FArrow || !FShown.empty()) && file == FShown)) return;
  FShown = file;
  TCursorPicture picture;
  const bool loaded = !file.empty() && pictures && Load(file, *pictures, picture);
  FArrow = !loaded;
  FSink->SetCursor(loaded ? &picture : nullptr);
}

bool TSceneCursor::Load(const std::string& file, TPexaCollection& pictures, TCursorPicture& out) {
  IPictureFiles* files = pictures.Files();
  if (!files || !files->Exists(file)) return false;
  TPexaItem* item = nullptr;
  try {
    item = pictures.Acquire(this, file, false, false);
  } catch (const EKestError&) {
    return false;
  }
  const TPexaItemFrame* frame = item && !item->Frames.empty() ? &item->Frames[0] : nullptr;
  const TDIBX* surface = frame ? frame->Surface.get() : nullptr;
  const bool usable = surface && surface->Width() > 0 && surface->Height() > 0 && surface->Width() <= kMaxCursorSide &&
                      surface->Height() <= kMaxCursorSide;
  if (usable) {
    const TDIBX* mask = frame->Mask.get();
    if (mask && (mask->Width() != surface->Width() || mask->Height() != surface->Height())) mask = nullptr;
    out.Width = surface->Width();
    out.Height = surface->Height();
    out.Pixels.resize(size_t(out.Width) * size_t(out.Height));
    for (int32_t y = 0; y < out.Height; ++y) {
      for (int32_t x = 0; x < out.Width; ++x) {
        const uint32_t bgr = surface->PixelToColor(surface->GetPixel(x, y));
        uint32_t alpha = 255;
        if (mask)
          alpha = mask->GetPixel(x, y) & 0xFF;
        else if (frame->TransparentColor >= 0 && bgr == uint32_t(frame->TransparentColor))
          alpha = 0;
        // The pictures' colours are 0x00BBGGRR.
        const uint32_t argb = (alpha << 24) | ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
        out.Pixels[size_t(y) * size_t(out.Width) + size_t(x)] = argb;
      }
    }
  }
  pictures.Release(item, this);
  return usable;
}

}  // namespace kest
