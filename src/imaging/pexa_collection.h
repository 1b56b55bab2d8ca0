#pragma once
// The image cache: pictures asked for by file name, decoded once into the
// screen's pixel format and shared by every component that shows them. An
// item lives while some component holds it.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "imaging/dibx.h"

namespace kest {

class TStream;

// Where pictures come from: the game's files by their script names.
class IPictureFiles {
 public:
  virtual ~IPictureFiles() = default;
  virtual bool Exists(const std::string& name) = 0;
  // Raises when the file cannot be read.
  virtual std::vector<uint8_t> Read(const std::string& name) = 0;
};

struct TPexaItemFrame {
  // Shared with the after-images that show the frame while they fade, so a
  // reload after a display-mode change never pulls a picture from under them.
  std::shared_ptr<TDIBX> Surface;
  std::shared_ptr<TDIBX> Mask;  // 8-bit; null when the frame has none
  int64_t TransparentColor = -1;
  int32_t Delay = 1;  // milliseconds, at least 1
  int32_t OffsetX = 0;
  int32_t OffsetY = 0;

  // How many 60 Hz steps the frame shows: at least one, halves to even.
  int32_t Steps() const;
};

class TPexaItem {
 public:
  // The key: the file name, then "?m" for a mask and "?t" for trimming.
  std::string Name;
  std::vector<const void*> Users;  // one entry per acquisition held
  std::vector<TPexaItemFrame> Frames;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t TotalDelay = 0;
  // Why the file could not be read to its end ("name: reason"); empty when
  // it could. The frames read whole before the fault are kept.
  std::string Error;
};

class TPexaCollection {
 public:
  TPexaCollection(IPictureFiles* files, uint32_t code) : FFiles(files), FCode(code) {}

  // The shared item of a picture, held by the user until a Release for this
  // acquisition. A file the game does not have gives an 8 x 8 picture that
  // draws nothing.
  TPexaItem* Acquire(const void* user, const std::string& fileName, bool trim, bool mask);
  // Lets one acquisition by the user go; the item goes with the last one.
  void Release(TPexaItem* item, const void* user);
  // The next Acquire of the name loads it again; holders keep their items.
  void Forget(const std::string& fileName);
  TPexaItem* Find(const std::string& key) const;
  // Where the pictures come from (other files of the game come the same way).
  IPictureFiles* Files() const { return FFiles; }
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }

  // The game's identification code, which protected pictures are read with.
  void SetCode(uint32_t code) { FCode = code; }
  uint32_t Code() const { return FCode; }
  // Pictures are converted to this bit count (the screen's, 32 without one).
  void SetBitCount(int bits) { FBitCount = bits; }
  void FreeSurfaces();
  void ReloadAll(bool recreateSurfaces);
  bool ScreenDepthFlag() const { return FScreenDepthFlag; }
  void SetScreenDepthFlag(bool value);
  void SaveState(TStream& stream) const;
  void LoadState(TStream& stream, int32_t version);

  // A picture onto a surface by the alpha rule: 0-254 blends, 255 copies,
  // 256 and above adds at alpha - 256; a usable 8-bit mask of the picture's
  // size decides what shows, else the picture's key does.
  static void DrawPicture(const TDIBX& source, const TDIBX* mask, TCustomDIBX& dest, int32_t x, int32_t y,
                          const TRect& srcRect, int alpha, bool mirrorH, bool mirrorV);
  // One frame onto a surface, by its mask or key and the alpha rule.
  static void DrawFrame(const TPexaItemFrame& frame, TCustomDIBX& dest, int32_t x, int32_t y, const TRect& srcRect,
                        int alpha, bool mirrorH, bool mirrorV);
  // Covers destRect with copies of srcRect, starting offsetX/offsetY into it.
  static void TileFrame(const TPexaItemFrame& frame, TCustomDIBX& dest, const TRect& destRect, const TRect& srcRect,
                        int alpha, bool mirrorH, bool mirrorV, int32_t offsetX, int32_t offsetY);

 private:
  void Load(TPexaItem& item);
  void AddBlank(TPexaItem& item) const;
  void Reload(TPexaItem& item, bool recreate);

  IPictureFiles* FFiles;
  uint32_t FCode;
  int FBitCount = 32;
  bool FScreenDepthFlag = false;
  std::vector<std::unique_ptr<TPexaItem>> FItems;
  std::unordered_map<std::string, TPexaItem*> FByKey;  // folded keys
};

// Splits "name?m?t" into the file name and its requests, from the end.
std::string StripPictureSuffixes(const std::string& key, bool& trim, bool& mask);

}  // namespace kest
