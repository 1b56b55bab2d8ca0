#pragma once
// Wipes ordered by a mask picture (Flip's mask name): bright parts of the
// picture change first; each pixel's change takes half the time (the fade)
// or a third (through white or black). Without a picture every pixel
// changes alike.

#include <vector>

#include "imaging/wipes/wipe_mask.h"

namespace kest {

// The mask picture tiled over the target, as grey levels (inverted when
// reversed).
std::vector<uint8_t> TiledGrey(const std::optional<TDIBX>& picture, int32_t w, int32_t h, bool invert);

class TWipeShadow : public TWipeMask {
 public:
  using TWipeMask::TWipeMask;
  void Prepare() override;

 protected:
  bool BuildMask() override;

 private:
  std::vector<uint8_t> FGrey;
};

class TWipeShadowWhite : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;
  void Prepare() override { FGrey = TiledGrey(LoadMaskPicture(), W(), H(), FReverse); }

 protected:
  void Draw() override;
  virtual int32_t Sign() const { return 1; }

 private:
  std::vector<uint8_t> FGrey;
};

class TWipeShadowBlack : public TWipeShadowWhite {
 public:
  using TWipeShadowWhite::TWipeShadowWhite;

 protected:
  int32_t Sign() const override { return -1; }
};

}  // namespace kest
