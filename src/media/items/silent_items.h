#pragma once
// Items with nothing to sound: a CD track when no disc is there (no drive
// can be reached from here), MIDI until the MIDI player plays it, and sound
// data the decoder refused. Each has length 0 and reports its end once after
// every Play (a refused one from the start), so scripts that wait for the end
// of the music go on.
#include <optional>
#include <string>

#include "media/items/media_item.h"

namespace kest {

class TSilentItem : public TDMediaItem {
 public:
  using TDMediaItem::TDMediaItem;
  bool GetRepeat() override { return FRepeat; }
  void SetRepeat(bool value) override { FRepeat = value; }
  int32_t GetPan() override { return FPan; }
  int32_t GetVolume() override { return FVolume; }
  void SetPan(int32_t value) override { FPan = value; }
  void SetVolume(int32_t value) override { FVolume = value; }
  int32_t GetPosition() override { return 0; }
  int32_t GetLength() override { return 0; }
  bool IsPlaying() override { return false; }
  bool IsPaused() override { return FPaused; }
  void Pause() override { FPaused = true; }

 protected:
  bool AtEnd() override { return FPlayed; }
  void DoPlay() override {
    FPlayed = true;
    FPaused = false;
  }
  void DoSetPosition(int32_t) override { FPlayed = false; }

 private:
  bool FRepeat = false, FPaused = false, FPlayed = false;
  int32_t FPan = 0, FVolume = 0;
};

// Sound data the decoder refused: it stands at its end from the start, so
// the script waiting for it goes on and a sound that goes at its end goes.
class TRefusedItem final : public TSilentItem {
 public:
  using TSilentItem::TSilentItem;

 protected:
  bool AtEnd() override { return true; }
};

class TCddaItem final : public TSilentItem {
 public:
  // "CD_" and a track number, as the sound component names tracks.
  TCddaItem(TMediaManager& manager, const std::string& name);
  std::optional<int32_t> Track() const { return FTrack; }

 private:
  std::optional<int32_t> FTrack;
};

class TMidiItem final : public TSilentItem {
 public:
  TMidiItem(TMediaManager& manager, std::string fileName) : TSilentItem(manager), FFileName(std::move(fileName)) {}
  const std::string& FileName() const { return FFileName; }

 private:
  std::string FFileName;
};

}  // namespace kest
