#pragma once
// The system's layered picture files (".pxa"). A file holds frames, the
// pictures of an animation with their display times; each frame is made of
// layers merged in order into one composite picture, with an 8-bit alpha
// picture when a layer brings one. Pixel data may be deflated or JPEG, cut
// into tiles that refer to equal tiles elsewhere, and protected by a row or
// tile order keyed by the game's identification code.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "imaging/dibx.h"
#include "imaging/rect.h"

namespace kest {

class TStream;

// What each version of the file brought.
inline constexpr int32_t kPexaSinceAlphaData = 100;
inline constexpr int32_t kPexaSinceAlphaEnabled = 101;
inline constexpr int32_t kPexaSinceBackground = 102;
inline constexpr int32_t kPexaSinceHeader = 103;  // compression, protection, tiles
inline constexpr int32_t kPexaSinceRects = 104;
inline constexpr int32_t kPexaSinceOpaqueBottom = 105;
inline constexpr int32_t kPexaNewestVersion = 106;

enum class TPexaCompression : uint8_t { Zlib = 0, None = 1, Jpeg = 2 };

struct TPexaLayer {
  std::string Name;
  TDIBX Picture;
  std::optional<TDIBX> Alpha;
  bool Visible = true;
  int64_t TransparentPixel = -1;
  int32_t Opacity = 255;
  bool AlphaEnabled = false;
};

class TPexaFrame {
 public:
  std::string Name;
  int64_t TransparentPixel = -1;
  int64_t TransparentColor = -1;  // the key as a colour, -1 for none
  int32_t Delay = 100;
  uint8_t FrameFlag = 0;
  TDIBX Composite;
  std::optional<TDIBX> Alpha;
  std::vector<TRect> DrawRects;
  std::vector<TRect> ExtraRects;
  // Kept only while a file is read (and by writers that store layers).
  std::vector<TPexaLayer> Layers;

  // The rectangle of the visible pixels; crops the picture to it.
  TRect Trim();
};

class TPexaFrameList {
 public:
  explicit TPexaFrameList(uint32_t code = 0) : FCode(code) {}

  // Decodes a file from the stream's position. Raises EReadError (naming what
  // is wrong) on damaged data; the frames read whole before it stay.
  void LoadFromStream(TStream& stream, bool firstFrameOnly = false);
  // ".pxa", ".png", ".bmp" and ".dib" by extension; others leave the list empty.
  void LoadFromBytes(std::span<const uint8_t> data, const std::string& fileName);
  // PNG and BMP by their signatures, anything else as a Pexa file (the
  // oldest of which have none): what pictures loaded by name go through.
  void LoadByContent(std::span<const uint8_t> data);
  // Raises "Error:TPexaFrameList.GetFrame" outside the list.
  TPexaFrame& Frames(int32_t index);
  int32_t Count() const { return static_cast<int32_t>(FFrames.size()); }
  TPexaFrame& AddFrame();
  void Clear() { FFrames.clear(); }
  // Every frame without an alpha picture gets one from its key.
  void MakeMasks();

  int32_t Version = kPexaNewestVersion;
  uint32_t BackgroundColor = 0;
  bool OpaqueBottomLayer = false;
  uint32_t Code() const { return FCode; }

 private:
  uint32_t FCode;
  std::vector<std::unique_ptr<TPexaFrame>> FFrames;
};

// How a file is written. The player writes one-frame files of the newest
// version; tools and tests write every variant.
struct TPexaWriteOptions {
  int32_t Version = kPexaNewestVersion;
  TPexaCompression Compression = TPexaCompression::Zlib;
  int32_t JpegQuality = 70;
  int32_t TileWidth = 0;  // 0: no tiles
  int32_t TileHeight = 0;
  // Not 0: rows (or the tile index) are stored in the order the code makes.
  uint32_t Code = 0;
  // Tiles equal to an earlier tile of the same picture, or to the same tile
  // of an earlier frame, are stored as references.
  bool ShareTiles = true;
};

// Writes frames with their layers, or each frame's composite as one layer.
void SavePexa(TPexaFrameList& list, TStream& out, const TPexaWriteOptions& options);

// The player's own one-frame files (screen captures): version 106; a
// non-zero code stores raw rows in the code's order.
void SavePexaCapture(TPexaFrameList& list, TStream& out, TPexaCompression compression, int32_t jpegQuality);

}  // namespace kest
