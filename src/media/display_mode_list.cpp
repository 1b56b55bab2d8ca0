#include "media/display_mode_list.h"

#include <cstddef>

namespace kest {

bool TDisplayModeList::Replaces(const TDisplayMode& mode, int32_t preferred_width, int32_t preferred_height,
                                int32_t desktop_bits) const {
  if (mode.Width != preferred_width || mode.Height != preferred_height) return false;
  const TDisplayMode& choice = modes_[static_cast<size_t>(chosen_)];
  if (choice.Width != preferred_width || choice.Height != preferred_height) return true;
  return mode.Bits == desktop_bits && (choice.Bits != desktop_bits || choice.Refresh > mode.Refresh);
}

void TDisplayModeList::Build(const std::vector<TDisplayMode>& offered, int32_t min_width, int32_t min_height,
                             int32_t preferred_width, int32_t preferred_height, int32_t desktop_bits) {
  modes_.clear();
  chosen_ = -1;
  for (const TDisplayMode& mode : offered) {
    if (mode.Width < min_width || mode.Height < min_height || mode.Bits <= 15) continue;
    modes_.push_back(mode);
    const int32_t index = Count() - 1;
    if (chosen_ == -1 || Replaces(mode, preferred_width, preferred_height, desktop_bits)) chosen_ = index;
  }
}

int32_t OutputBitsForDisplay(const TDisplayFormat& format, bool full_screen) {
  if (format.Is555()) return 15;
  if (full_screen) return format.Bits < 16 ? 15 : format.Bits == 16 ? 16 : 32;
  return format.Bits > 16 ? 32 : 16;
}

}  // namespace kest
