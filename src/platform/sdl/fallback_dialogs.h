// The box shown before the main window exists (start-up errors): the
// system's own message box when a display is there, else standard error.
#pragma once

#include <string>

#include "platform/dialogs.h"

namespace kest {

class TFallbackDialogs final : public IDialogs {
 public:
  TUiResult MessageBox(const std::string& text, const std::string& caption, TUiIcon icon, TUiButtons buttons) override;
};

}  // namespace kest
