#include "scene/components/kest_snapshot.h"

namespace kest {

void TKestSnapshot::Copy(const TCustomDIBX& picture) {
  FFrame.Surface = std::make_unique<TDIBX>(picture.Width(), picture.Height(), picture.BitCount());
  FFrame.Surface->Draw(0, 0, picture, picture.Bounds(), TBlit::None);
  SetBounds(0, 0, picture.Width(), picture.Height());
  Invalidate();
}

}  // namespace kest
