// The primary display through SDL (its video subsystem must be up).
#pragma once

#include <vector>

#include "platform/display.h"

namespace kest {

class TSdlDisplay final : public IDisplay {
 public:
  std::vector<TDisplayMode> Modes() override;
  bool DesktopFormat(TDisplayFormat& format) override;
};

}  // namespace kest
