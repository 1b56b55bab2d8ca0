#include "scene/scene_cursor.h"

#include "common/errors.h"
#include "imaging/pexa_collection.h"

namespace kest {

namespace {

constexpr int64_t kPerMillisecond = 60;
constexpr int64_t kPerJiffy = 1000;

}  // namespace

void TSceneCursor::Show(const std::string& file, TPexaCollection* pictures, int32_t elapsed) {
  if (!FSink) return;
  if ((FArrow || !FShown.empty()) && file == FShown) {
    Step(elapsed);
    return;
  }
  FShown = file;
  FFrames.clear();
  FSteps.clear();
  FStep = 0;
  FElapsed = 0;
  const bool loaded = !file.empty() && pictures && Load(file, *pictures);
  FArrow = !loaded;
  FSink->SetCursor(loaded ? &FFrames[size_t(FSteps[0].Frame)] : nullptr);
}

void TSceneCursor::Step(int32_t milliseconds) {
  if (FSteps.size() < 2 || milliseconds <= 0) return;
  const int32_t before = FSteps[FStep].Frame;
  FElapsed += int64_t(milliseconds) * kPerMillisecond;
  // A long tick goes round the whole animation as often as it fits at once.
  if (FElapsed >= FCycle) FElapsed %= FCycle;
  while (FElapsed >= int64_t(FSteps[FStep].Jiffies) * kPerJiffy) {
    FElapsed -= int64_t(FSteps[FStep].Jiffies) * kPerJiffy;
    FStep = FStep + 1 == FSteps.size() ? 0 : FStep + 1;
  }
  if (FSteps[FStep].Frame != before) FSink->SetCursor(&FFrames[size_t(FSteps[FStep].Frame)]);
}

bool TSceneCursor::Load(const std::string& file, TPexaCollection& pictures) {
  IPictureFiles* files = pictures.Files();
  if (!files || !files->Exists(file)) return false;
  std::vector<uint8_t> bytes;
  try {
    bytes = files->Read(file);
  } catch (const EKestError&) {
    return false;
  }
  if (TCursorFile::Recognises(bytes)) return LoadCursorFile(bytes);
  TCursorPicture picture;
  if (!LoadPicture(file, pictures, picture)) return false;
  FFrames.push_back(std::move(picture));
  FSteps.push_back(TCursorStep());
  return true;
}

bool TSceneCursor::LoadCursorFile(const std::vector<uint8_t>& bytes) {
  try {
    const TCursorFile cursor{std::span<const uint8_t>(bytes)};
    for (const TCursorFrame& f : cursor.Frames()) FFrames.push_back({f.Width, f.Height, f.HotX, f.HotY, f.Pixels});
    FSteps = cursor.Steps();
  } catch (const EKestError&) {
    FFrames.clear();
    return false;
  }
  FCycle = 0;
  for (const TCursorStep& step : FSteps) FCycle += int64_t(step.Jiffies) * kPerJiffy;
  return true;
}

bool TSceneCursor::LoadPicture(const std::string& file, TPexaCollection& pictures, TCursorPicture& out) {
  TPexaItem* item = nullptr;
  try {
    item = pictures.Acquire(this, file, false, false);
  } catch (const EKestError&) {
    return false;
  }
  // A damaged picture draws nothing where nothing could be read; as a cursor
  // it would hide the pointer, so the arrow shows instead.
  const TPexaItemFrame* frame = item && !item->Frames.empty() && item->Error.empty() ? &item->Frames[0] : nullptr;
  const TDIBX* surface = frame ? frame->Surface.get() : nullptr;
  const bool usable = surface && surface->Width() > 0 && surface->Height() > 0 &&
                      surface->Width() <= TCursorFile::kMaxSide && surface->Height() <= TCursorFile::kMaxSide;
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
