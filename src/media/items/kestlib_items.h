#pragma once
// The kinds the extension library plays: Ogg (and WAV) sounds, Windows Media
// sounds and movies. Each item holds the library's handle and, while the
// library reads it, the stream over its file.
#include <memory>
#include <string>

#include "kestlib/kestlib_loader.h"
#include "media/items/media_item.h"

namespace kest {

class TStream;

// One family's item functions in the library.
struct TKestLibFamily {
  int32_t (*GetPan)(KestHandle);
  void (*SetPan)(KestHandle, int32_t);
  int32_t (*GetVolume)(KestHandle);
  void (*SetVolume)(KestHandle, int32_t);
  int32_t (*GetPosition)(KestHandle);
  void (*SetPosition)(KestHandle, int32_t);
  int32_t (*GetLength)(KestHandle);
  KestBool (*IsEnd)(KestHandle);
  KestBool (*IsPlaying)(KestHandle);
  KestBool (*IsPaused)(KestHandle);
  void (*Play)(KestHandle);
  void (*Pause)(KestHandle);
  KestBool (*GetAutoRepeat)(KestHandle);
  void (*SetAutoRepeat)(KestHandle, KestBool);
  void (*Delete)(KestHandle);
};
TKestLibFamily OggFamily(const TKestLib& lib);
TKestLibFamily WmpFamily(const TKestLib& lib);
TKestLibFamily VideoFamily(const TKestLib& lib);

// An item whose every operation is the library's; handle 0 (the library
// could not open the file) is a silent item that has ended.
class TKestLibItem : public TDMediaItem {
 public:
  TKestLibItem(TMediaManager& manager, TKestLibFamily family, std::unique_ptr<TStream> stream = nullptr);
  ~TKestLibItem() override;

  bool GetRepeat() override { return FHandle && FFamily.GetAutoRepeat(FHandle) != 0; }
  void SetRepeat(bool value) override;
  int32_t GetPan() override { return FHandle ? FFamily.GetPan(FHandle) : 0; }
  int32_t GetVolume() override { return FHandle ? FFamily.GetVolume(FHandle) : 0; }
  void SetPan(int32_t value) override;
  void SetVolume(int32_t value) override;
  int32_t GetPosition() override { return FHandle ? FFamily.GetPosition(FHandle) : 0; }
  int32_t GetLength() override { return FHandle ? FFamily.GetLength(FHandle) : 0; }
  bool IsPlaying() override { return FHandle && FFamily.IsPlaying(FHandle) != 0; }
  bool IsPaused() override { return FHandle && FFamily.IsPaused(FHandle) != 0; }
  void Pause() override;
  KestHandle Handle() const { return FHandle; }

 protected:
  bool AtEnd() override;
  void DoPlay() override;
  void DoSetPosition(int32_t ms) override;
  // The library's handle, taken once the stream it reads is in place.
  void Attach(KestHandle handle) { FHandle = handle; }
  TStream* Stream() const { return FStream.get(); }

 private:
  TKestLibFamily FFamily;
  KestHandle FHandle = 0;
  // Read by the library for as long as the handle lives.
  std::unique_ptr<TStream> FStream;
  // The library reports its end once; the item keeps it until it moves.
  bool FEnded = false;
};

class TOggItem final : public TKestLibItem {
 public:
  TOggItem(TMediaManager& manager, const TKestLib& lib, std::unique_ptr<TStream> stream, bool isOgg);
  int32_t GetRepeatPos() override;
  void SetRepeatPos(int32_t value) override;

 private:
  const TKestLib& FLib;
};

class TWmpItem final : public TKestLibItem {
 public:
  // The whole file, handed to the library in memory.
  TWmpItem(TMediaManager& manager, const TKestLib& lib, const std::vector<uint8_t>& data);
};

class TDsVideoItem final : public TKestLibItem {
 public:
  TDsVideoItem(TMediaManager& manager, const TKestLib& lib, const std::string& fileName,
               std::unique_ptr<TStream> stream, bool drawToSurface);
  int32_t GetSourceWidth();
  int32_t GetSourceHeight();
  bool GetVisible();
  void SetVisible(bool value);
  bool NeedPaint();
  void SetRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // The current frame in the layout of `bits`; false when there is none.
  bool GetFrame(int32_t bits, KestVideoFrame& frame);
  void FrameDone();

 private:
  const TKestLib& FLib;
};

}  // namespace kest
