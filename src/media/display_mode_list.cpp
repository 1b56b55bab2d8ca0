#include "media/display_mode_list.h"

#include <cstddef>

namespace kest {

bool TDisplayModeList::Replaces(const TDisplayMode& mode, int32_t preferredWidth, int32_t preferredHeight,
                                int32_t desktopBits) const {
  if (mode.Width != preferredWidth || mode.Height != preferredHeight) return false;
  const TDisplayMode& choice = FModes[static_cast<size_t>(FChosen)];
  if (choice.Width != preferredWidth || choice.Height != preferredHeight) return true;
  return mode.Bits == desktopBits && (choice.Bits != desktopBits || choice.Refresh > mode.Refresh);
}

void TDisplayModeList::Build(const std::vector<TDisplayMode>& offered, int32_t minWidth, int32_t minHeight,
                             int32_t preferredWidth, int32_t preferredHeight, int32_t desktopBits) {
  FModes.clear();
  FChosen = -1;
  for (const TDisplayMode& mode : offered) {
    if (mode.Width < minWidth || mode.Height < minHeight || mode.Bits <= 15) continue;
    FModes.push_back(mode);
    const int32_t index = Count() - 1;
    if (FChosen == -1 || Replaces(mode, preferredWidth, preferredHeight, desktopBits)) FChosen = index;
  }
}

int32_t OutputBitsForDisplay(const TDisplayFormat& format, bool fullScreen) {
  if (format.Is555()) return 15;
  if (fullScreen) return format.Bits < 16 ? 15 : format.Bits == 16 ? 16 : 32;
  return format.Bits > 16 ? 32 : 16;
}

}  // namespace kest
