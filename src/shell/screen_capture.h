#pragma once
// Pictures of a base screen as one-frame Pexa files (SaveScreen).

#include <cstdint>
#include <vector>

namespace kest {

class TKestBaseList;

// Larger captures are refused: a script's width and height would otherwise
// decide how much memory one call takes.
inline constexpr int32_t kMaxCaptureSide = 8192;

struct TCaptureRequest {
  bool Back = false;
  // The picture's size; the screen's own size copies the pixels as they are.
  int32_t Width = 0;
  int32_t Height = 0;
  // In-memory and saved-game files are kept raw, which is quicker to read
  // back; files on disk are deflated.
  bool Raw = false;
};

// The front screen (or the other one), brought up to date, in Pexa format;
// empty when the scene has no size or the request is out of range.
std::vector<uint8_t> CaptureBaseScreen(TKestBaseList& scene, const TCaptureRequest& request);

}  // namespace kest
