#include "scene/components/kest_image_list.h"

#include <algorithm>

#include "common/errors.h"

namespace kest {

void TKestImageList::Load(TPexaCollection* cache, const void* holder, const std::string& name, bool mask) {
  Clear();
  if (!cache || name.empty()) return;
  FCache = cache;
  FHolder = holder;
  FItem = cache->Acquire(holder, name, false, mask);
}

void TKestImageList::RaiseIfDamaged() const {
  if (FItem && !FItem->Error.empty()) throw EReadError(FItem->Error);
}

void TKestImageList::Clear() {
  if (FItem && FCache) FCache->Release(FItem, FHolder);
  FItem = nullptr;
  FAdjusted.reset();
  FAdjustedIndex = -1;
}

const TPexaItemFrame* TKestImageList::Frame(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &FItem->Frames[static_cast<size_t>(index)];
}

std::shared_ptr<TDIBX> TKestImageList::SharedShown(int32_t index, int32_t brightness) {
  const TPexaItemFrame* frame = Frame(index);
  if (!frame) return nullptr;
  if (brightness == 0) return frame->Surface;
  if (FAdjusted && FAdjustedIndex == index && FAdjustedBrightness == brightness) return FAdjusted;
  const TDIBX& source = *frame->Surface;
  // A new copy each time: an after-image may still show the last one.
  FAdjusted = std::make_shared<TDIBX>(source.Width(), source.Height(), source.BitCount());
  FAdjusted->Draw(0, 0, source, source.Bounds(), TBlit::None);
  const int32_t level = std::min(std::abs(brightness), 255);
  const auto grey = static_cast<uint32_t>(FAdjusted->ColorToPixel(level | (level << 8) | (level << 16)));
  if (brightness > 0)
    FAdjusted->FillRectAdd(FAdjusted->Bounds(), grey);
  else
    FAdjusted->FillRectSub(FAdjusted->Bounds(), grey);
  // The key moves with the pixels it marks.
  if (source.TransparentPixel >= 0) {
    TDIBX key(1, 1, source.BitCount());
    key.SetPixel(0, 0, static_cast<uint32_t>(source.TransparentPixel));
    if (brightness > 0)
      key.FillRectAdd(key.Bounds(), grey);
    else
      key.FillRectSub(key.Bounds(), grey);
    FAdjusted->TransparentPixel = key.GetPixel(0, 0);
  }
  FAdjusted->DrawRects = source.DrawRects;
  FAdjustedIndex = index;
  FAdjustedBrightness = brightness;
  return FAdjusted;
}

}  // namespace kest
