// The system variables' view of the main window and the project: the cursor,
// the full-screen switch and display modes, the project's title and size.
#pragma once

#include "language/system_variable_host.h"

namespace kest {

class TFormView;

class TFormSystemHost final : public IScreenHost, public IProjectHost {
 public:
  explicit TFormSystemHost(TFormView& form) : FForm(form) {}

  void SetCursorX(int32_t x) override;
  void SetCursorY(int32_t y) override;
  bool FullScreen() override;
  void SetFullScreen(bool on) override;
  int32_t DisplayModeCount() override;
  int32_t DisplayModeIndex() override;
  void SetDisplayModeIndex(int32_t index) override;
  // Font lookup arrives with text drawing; until then no face is offered.
  std::vector<std::string> FontNames(bool) override { return {}; }

  int32_t ScreenWidth() override;
  int32_t ScreenHeight() override;
  std::string Title() override;

 private:
  TFormView& FForm;
};

}  // namespace kest
