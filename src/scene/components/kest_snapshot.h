#pragma once
// A still copy of a picture shown by a picture control: the flip's snapshot
// of the screen. It belongs to the player (kind 0, never saved).

#include "scene/components/kest_custom_image.h"

namespace kest {

class TKestSnapshot : public TKestCustomImage {
 public:
  using TKestCustomImage::TKestCustomImage;
  // Holds a copy of the picture and takes its size.
  void Copy(const TCustomDIBX& picture);

 protected:
  const TPexaItemFrame* ShownFrame() const override { return FFrame.Surface ? &FFrame : nullptr; }
  const TDIBX* ShownPicture() override { return FFrame.Surface.get(); }

 private:
  TPexaItemFrame FFrame;
};

}  // namespace kest
