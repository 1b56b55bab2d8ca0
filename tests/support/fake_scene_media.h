#pragma once
// Media managers for scene tests: items that keep what they are told and
// stand at their end when the test says so. ".mid" names get the player's
// real MIDI items, whose volume rules differ.
#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "media/items/media_managers.h"
#include "scene/scene_media.h"

namespace kest {

class TFakeSoundItem final : public TDMediaItem {
 public:
  TFakeSoundItem(TMediaManager& manager, int32_t length) : TDMediaItem(manager), Length(length) {}
  bool GetRepeat() override { return Repeat; }
  void SetRepeat(bool value) override { Repeat = value; }
  int32_t GetRepeatPos() override { return RepeatPos; }
  void SetRepeatPos(int32_t value) override { RepeatPos = value; }
  int32_t GetPan() override { return Pan; }
  int32_t GetVolume() override { return Volume; }
  void SetPan(int32_t value) override { Pan = value; }
  void SetVolume(int32_t value) override { Volume = value; }
  int32_t GetPosition() override { return Position; }
  int32_t GetLength() override { return Length; }
  bool IsPlaying() override { return Playing; }
  bool IsPaused() override { return !Playing; }
  void Pause() override { Playing = false; }

  bool Repeat = false, Playing = false, Ended = false;
  int32_t RepeatPos = 0, Pan = 0, Volume = 0, Position = 0, Length;

 protected:
  bool AtEnd() override { return Ended; }
  void DoPlay() override { Playing = true; }
  void DoSetPosition(int32_t ms) override {
    Position = ms;
    Ended = false;
  }
};

class TFakeSceneMedia final : public ISceneMedia {
 public:
  class TManager final : public TMediaManager {
   public:
    TDMediaItem& Add(int32_t length) { return Append(std::make_unique<TFakeSoundItem>(*this, length)); }
  };
  bool Exists(const std::string& fileName) override { return Files.contains(fileName); }
  TDMediaItem* AddSound(const std::string& fileName) override {
    ++Added;
    if (fileName.ends_with(".mid")) return &Midi.Add(fileName);
    return &Sounds.Add(Length);
  }
  TDsVideoItem* AddVideo(const std::string&, bool) override { return nullptr; }
  void Release(TDMediaItem& item) override {
    ++Released;
    item.Manager().Remove(&item);
  }
  // The sound item made last (null when none is left).
  TFakeSoundItem* Last() {
    return Sounds.Count() ? static_cast<TFakeSoundItem*>(&Sounds.Items(Sounds.Count() - 1)) : nullptr;
  }

  std::set<std::string> Files{"a.ogg", "b.ogg", "m.mid"};
  int32_t Length = 10000;  // of the items made from now on
  int32_t Added = 0, Released = 0;
  TManager Sounds;
  TMidiManager Midi;
};

}  // namespace kest
