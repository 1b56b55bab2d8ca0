#pragma once
// The frames a picture control shows, held from the image cache, with the
// brightness-adjusted copy of a frame when the control asks for one.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/pexa_collection.h"

namespace kest {

class TKestImageList {
 public:
  TKestImageList() = default;
  ~TKestImageList() { Clear(); }
  TKestImageList(const TKestImageList&) = delete;
  TKestImageList& operator=(const TKestImageList&) = delete;

  // Takes the frames of a picture file from the cache (mask for hit tests);
  // no cache or an unknown file leaves the list empty.
  void Load(TPexaCollection* cache, const void* holder, const std::string& name, bool mask);
  void Clear();
  // Raises why the picture could not be read to its end, naming the file:
  // called once the control has taken up what could be read, when a script
  // gave the picture (a saved game loads what it can, quietly).
  void RaiseIfDamaged() const;
  int32_t Count() const { return FItem ? static_cast<int32_t>(FItem->Frames.size()) : 0; }
  const TPexaItemFrame* Frame(int32_t index) const;
  // The picture of frame index with every channel moved by brightness
  // (0: the cached picture itself); its key moves alike, so keyed pixels
  // stay transparent.
  const TDIBX* Shown(int32_t index, int32_t brightness) { return SharedShown(index, brightness).get(); }
  // The same picture, held for as long as the caller keeps it.
  std::shared_ptr<TDIBX> SharedShown(int32_t index, int32_t brightness);
  int32_t Width() const { return FItem ? FItem->Width : 0; }
  int32_t Height() const { return FItem ? FItem->Height : 0; }

 private:
  TPexaCollection* FCache = nullptr;
  TPexaItem* FItem = nullptr;
  const void* FHolder = nullptr;
  std::shared_ptr<TDIBX> FAdjusted;
  int32_t FAdjustedIndex = -1;
  int32_t FAdjustedBrightness = 0;
};

}  // namespace kest
