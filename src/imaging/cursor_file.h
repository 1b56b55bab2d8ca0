#pragma once
// Cursor files: a still cursor in the icon-directory format (.cur, or an .ico
// whose hot spot is its centre) and an animated one (RIFF "ACON", .ani), whose
// frames are whole icon-directory files and whose steps name a frame and how
// long it shows. Of a directory the entry of the largest side up to 64 is
// read, else the first; its picture is a headerless BMP (1, 4, 8, 24 or 32
// bits with the AND mask below) or a PNG. Every count and length is checked
// against the bytes present before anything is allocated.

#include <cstdint>
#include <span>
#include <vector>

namespace kest {

// Rows top-down of 0xAARRGGBB pixels; the hot spot lies inside the picture.
struct TCursorFrame {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t HotX = 0;
  int32_t HotY = 0;
  std::vector<uint32_t> Pixels;
};

struct TCursorStep {
  int32_t Frame = 0;
  uint32_t Jiffies = 1;  // sixtieths of a second, at least 1
};

class TCursorFile {
 public:
  // Larger pictures are no cursors; the window systems refuse them too.
  static constexpr int32_t kMaxSide = 256;
  static constexpr uint32_t kMaxFrames = 256;
  static constexpr uint32_t kMaxSteps = 4096;
  // All frames of one file together, so that small compressed frames cannot
  // claim more memory than a cursor ever needs.
  static constexpr uint64_t kMaxPixels = uint64_t(4) << 20;

  // Whether the bytes begin like an icon directory or an animated cursor.
  static bool Recognises(std::span<const uint8_t> data);

  // Raises EReadError for data it cannot read.
  explicit TCursorFile(std::span<const uint8_t> data);

  const std::vector<TCursorFrame>& Frames() const { return FFrames; }
  // A still cursor has one step of its only frame.
  const std::vector<TCursorStep>& Steps() const { return FSteps; }
  bool Animated() const { return FSteps.size() > 1; }

 private:
  std::vector<TCursorFrame> FFrames;
  std::vector<TCursorStep> FSteps;
  uint64_t FPixels = 0;

  void AddFrame(std::span<const uint8_t> directory);
  void ReadAnimation(std::span<const uint8_t> data);
};

}  // namespace kest
