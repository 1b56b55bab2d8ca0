#pragma once
// Where the mouse cursor over the scene goes: the window, or a recorder when
// there is none.

#include <cstdint>
#include <vector>

namespace kest {

// A colour cursor: rows top-down of 0xAARRGGBB pixels and its hot spot.
struct TCursorPicture {
  int Width = 0;
  int Height = 0;
  int HotX = 0;
  int HotY = 0;
  std::vector<uint32_t> Pixels;
};

class ICursorSink {
 public:
  virtual ~ICursorSink() = default;
  // The picture to show, or null for the system's arrow.
  virtual void SetCursor(const TCursorPicture* picture) = 0;
};

// Keeps every cursor it was given, an arrow as an empty picture.
class TRecordingCursor final : public ICursorSink {
 public:
  void SetCursor(const TCursorPicture* picture) override { Shown.push_back(picture ? *picture : TCursorPicture()); }
  std::vector<TCursorPicture> Shown;
};

}  // namespace kest
