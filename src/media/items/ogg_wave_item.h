#pragma once
// Ogg and WAV sounds when the fast path is off: the extension library only
// decodes them, and the player's own wave mixer plays the PCM.
#include <memory>

#include "kestlib/kestlib_loader.h"
#include "media/items/media_item.h"
#include "media/sound/wav_out.h"

namespace kest {

class TStream;

// The library's decoder as the mixer's source; the stream it decodes from
// lives as long as it does.
class TOggStream final : public IWavSource {
 public:
  // Raises "サウンドデータが不正です" when the decoder refuses the data.
  TOggStream(const TKestLib& lib, std::unique_ptr<TStream> stream, bool isOgg);
  ~TOggStream() override;
  int Read(void* buffer, int bytes) override;
  int64_t Size() override;
  void Seek(int64_t position) override;
  const TWavFormat& Format() const { return FFormat; }
  int32_t LengthMs();

 private:
  const TKestLib& FLib;
  std::unique_ptr<TStream> FStream;
  KestHandle FHandle = 0;
  TWavFormat FFormat;
};

class TOggWaveItem final : public TDMediaItem {
 public:
  TOggWaveItem(TMediaManager& manager, TWavOut& mixer, std::unique_ptr<TOggStream> stream);
  ~TOggWaveItem() override;

  bool GetRepeat() override { return FRepeat; }
  void SetRepeat(bool value) override;
  // Milliseconds from the start, where a repeating sound goes on after its end.
  int32_t GetRepeatPos() override { return FRepeatPos; }
  void SetRepeatPos(int32_t value) override;
  int32_t GetPan() override { return FPan; }
  int32_t GetVolume() override { return FVolume; }
  void SetPan(int32_t value) override { FPan = value; }
  void SetVolume(int32_t value) override;
  int32_t GetPosition() override;
  int32_t GetLength() override { return FLength; }
  bool IsPlaying() override;
  bool IsPaused() override;
  void Pause() override;
  // The mixer's level for a volume of -10000 (silent) to 0 (full): linear
  // over the upper half, silent from -5000 down.
  static int MixerVolume(int32_t volume);

 protected:
  bool AtEnd() override;
  void DoPlay() override;
  void DoSetPosition(int32_t ms) override;

 private:
  int64_t BytesOf(int32_t ms) const;

  TWavOut& FMixer;
  TWavBuffer* FBuffer;
  double FBytesPerMs;
  int32_t FLength;
  bool FRepeat = false;
  int32_t FRepeatPos = 0;
  int32_t FPan = 0, FVolume = 0;
};

}  // namespace kest
