#pragma once
// The items the choice components keep, as the component functions reach
// them: list boxes keep a check mark per item, preview menus a set of
// buttons with their flags and groups. A kind takes these on when it has
// such items; the scene asks for them by cast.

#include <cstdint>
#include <string>

namespace kest {

// Reads outside the items answer false; writes there do nothing.
class ICheckItems {
 public:
  virtual ~ICheckItems() = default;
  virtual bool ItemChecked(int32_t index) const = 0;
  virtual void SetItemChecked(int32_t index, bool checked) = 0;
};

// Reads outside the buttons answer false (the group 0); writes there do
// nothing.
class IButtonItems {
 public:
  virtual ~IButtonItems() = default;
  // The index of the button of that name, -1 when none.
  virtual int32_t ButtonIndex(const std::string& name) const = 0;
  virtual bool ButtonEnabled(int32_t index) const = 0;
  virtual void SetButtonEnabled(int32_t index, bool enabled) = 0;
  virtual bool ButtonVisible(int32_t index) const = 0;
  virtual void SetButtonVisible(int32_t index, bool visible) = 0;
  virtual bool ButtonSelected(int32_t index) const = 0;
  virtual void SetButtonSelected(int32_t index, bool selected) = 0;
  virtual int32_t ButtonGroup(int32_t index) const = 0;
};

}  // namespace kest
