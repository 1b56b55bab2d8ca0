#pragma once
// A picture repeated over the whole control, scrolled by its scroll values
// and spaced apart by its spacing; its children scroll with it.

#include <string>

#include "scene/components/kest_images.h"

namespace kest {

class TKestTile : public TKestCustomImages {
 public:
  using TKestCustomImages::TKestCustomImages;

  TComponentKind Kind() const override { return LT_TILE; }
  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  // Placed by its parent and left only: anchor and zoom do not move a tile.
  int32_t AbsLeft() const override;
  int32_t AbsTop() const override;
  int32_t ScrollX() const override { return FScrollX; }
  int32_t ScrollY() const override { return FScrollY; }
  TRect BoundsRect() const override { return MakeRect(AbsLeft(), AbsTop(), Width(), Height()); }
  void Paint(TCustomDIBX& surface) override;
  bool Update() override;
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;

 protected:
  TKestImageList& Frames() override { return FList; }
  bool Repeats() const override { return std::get<bool>(GetProp(PR_REPEAT)); }
  bool SizesToPicture() const override { return false; }

 private:
  void SetSource(const std::string& source);

  TKestImageList FList;
  std::string FSource;
  int32_t FScrollX = 0;
  int32_t FScrollY = 0;
  int32_t FSpaceX = 0;
  int32_t FSpaceY = 0;
};

}  // namespace kest
