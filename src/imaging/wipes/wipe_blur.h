#pragma once
// Through a blur: the old picture blurs, whitens (or darkens), and the new
// picture comes back out of the blur.

#include "imaging/wipes/custom_wipe.h"

namespace kest {

class TWipeBlurWhite : public TCustomWipe {
 public:
  using TCustomWipe::TCustomWipe;
  void Prepare() override;

 protected:
  void Draw() override;
  virtual void Tint(int32_t grey);

 private:
  void Blur();

  TDIBX FFromBlur;
  TDIBX FToBlur;
};

class TWipeBlurBlack : public TWipeBlurWhite {
 public:
  using TWipeBlurWhite::TWipeBlurWhite;

 protected:
  void Tint(int32_t grey) override;
};

// Each pixel the average of the pixels within radius in x and in y that lie
// inside the picture (channel sums divided, truncating, per pass).
void BoxBlur(const TCustomDIBX& source, TDIBX& out, int32_t radius);

}  // namespace kest
