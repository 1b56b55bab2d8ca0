#pragma once
// A button: a picture for each of its states (normal, under the mouse,
// pressed, clicked), a click event, and groups of buttons of which one stays
// selected.

#include <array>
#include <string>
#include <vector>

#include "scene/components/kest_images.h"
#include "text/label_list.h"

namespace kest {

class TKestButton : public TKestImages {
 public:
  explicit TKestButton(TKestBaseList& scene);

  TComponentKind Kind() const override { return LT_BUTTON; }
  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  bool Update() override;
  // Every frame of a button lasts its own time, the last one too.
  void Creating(ICreation&) override {}
  void MouseMove() override;
  void MouseOut(TKestControl* next) override;
  void LeftDown() override;
  void LeftUp() override;
  void KeyRepeat(const TArrayString& keys) override;
  void Paint(TCustomDIBX& surface) override;
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;

  int32_t State() const { return FState; }
  bool Selected() const { return FSelected; }

 protected:
  TKestImageList& Frames() override;
  // A button's pictures loop in every state but the clicked one.
  bool Repeats() const override { return FState != 3; }

 private:
  void SetState(int32_t state);
  void SetStateSource(int32_t state, const std::string& source);
  void SetSelected(bool selected);
  void Click();
  bool MouseOver();
  // The buttons of this one's group among its siblings, itself included.
  std::vector<TKestButton*> Group() const;
  bool OtherSelected() const;
  // Makes one button of the group the selected one (or none, where allowed).
  void ApplyGroup();
  // The caption engine takes the font and text properties as they are set.
  void SyncCaption();

  std::array<TKestImageList, 3> FStates;  // hover, pressed, clicked
  std::array<std::string, 3> FSources;
  int32_t FState = 0;
  int32_t FReturnState = 0;
  int32_t FPress = 0;  // 1 pressed on the button, -1 asked to be destroyed
  int32_t FGroup = 0;
  bool FSelected = false;
  bool FAllowAllUp = false;
  mutable TTpLabelList FCaption;  // one label: PR_TEXT; saving measures its font
};

}  // namespace kest
