#pragma once
// What the single-line and the multi-line text box share: a box drawn in the
// control's place, shown only where the control can be seen and is not
// covered at its centre, holding the keyboard while the control has the
// scene's focus, and telling the script of every key pressed in it.

#include <string>

#include "scene/components/edit_box.h"
#include "scene/kest_control.h"
#include "scene/scene_input.h"

namespace kest {

class TKestTextInput : public TKestControl, public IKeyboardBox {
 public:
  TKestTextInput(TKestBaseList& scene, bool multiLine);
  ~TKestTextInput() override;

  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  bool Update() override;
  void Paint(TCustomDIBX& surface) override;
  void LeftDown() override;
  void FocusGained() override;
  void PositionChanged() override { Place(); }
  void Detach() override;
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;

  bool TypeKey(int key) override;
  void TypeText(const std::string& utf8) override;
  TRect TextArea() override;

  const TEditBox& Box() const { return FBox; }
  bool BoxShown() const { return FBox.Shown; }
  bool HoldsKeyboard();

 protected:
  // Both kinds always take the scene's focus; set once the kind is known.
  void TakeKeys() { TKestControl::SetProp(PR_HANDLEKEY, true); }

 private:
  // Whether the box may be seen: the control shows on the front screen and
  // answers a hit test at its centre in every mouse mode.
  bool ComputeShown();
  void Place();
  // Takes or gives up the keyboard as HoldsKeyboard says.
  void SyncKeyboard();
  void ReleaseKeyboard();

  TEditBox FBox;
  std::string FOnNotify;
};

}  // namespace kest
