#include "imaging/wipes/custom_wipe.h"

#include "common/errors.h"

namespace kest {

void TCustomWipe::SetParam(int index, int32_t value) {
  if (index >= 0 && index < 6) FParam[size_t(index)] = value;
}

bool TCustomWipe::Step() {
  FParam[2] = 0;
  FParam[3] = 0;
  FParam[4] = W();
  FParam[5] = H();
  if (Duration < 1) Duration = 1;
  if (Position >= Duration) return true;
  // An empty target has no rows to mix.
  if (FTarget.IsEmpty()) return false;
  FTarget.AddClipRect(FTarget.Bounds());
  Draw();
  return false;
}

std::optional<TDIBX> TCustomWipe::LoadMaskPicture() const {
  if (FMaskName.empty() || !FMaskLoader) return std::nullopt;
  // A picture that cannot be read orders nothing, as a missing one does.
  try {
    return FMaskLoader(FMaskName);
  } catch (const EKestError&) {
    return std::nullopt;
  }
}

}  // namespace kest
