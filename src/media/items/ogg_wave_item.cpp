#include "media/items/ogg_wave_item.h"

#include <algorithm>
#include <cmath>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"

namespace kest {

TOggStream::TOggStream(const TKestLib& lib, std::unique_ptr<TStream> stream, bool isOgg)
    : FLib(lib), FStream(std::move(stream)) {
  if (FStream) FHandle = lib.kestOggStrmanAdd(FStream.get(), isOgg ? -1 : 0);
  KestWaveFormat format{};
  if (!FHandle || !lib.kestOggStrGetFormat(FHandle, &format) || format.channels <= 0 || format.bits_per_sample <= 0 ||
      format.samples_per_second <= 0) {
    if (FHandle) lib.kestOggStrmanDel(FHandle);
    throw EKestError(Utf8ToCp932("サウンドデータが不正です"));
  }
  FFormat.Channels = static_cast<uint16_t>(format.channels);
  FFormat.SamplesPerSec = static_cast<uint32_t>(format.samples_per_second);
  FFormat.AvgBytesPerSec = static_cast<uint32_t>(format.bytes_per_second);
  FFormat.BlockAlign = static_cast<uint16_t>(format.block_align);
  FFormat.BitsPerSample = static_cast<uint16_t>(format.bits_per_sample);
}

TOggStream::~TOggStream() { FLib.kestOggStrmanDel(FHandle); }

int TOggStream::Read(void* buffer, int bytes) { return std::max(0, FLib.kestOggStrRead(FHandle, buffer, bytes)); }

int64_t TOggStream::Size() { return FLib.kestOggStrGetSize(FHandle); }

void TOggStream::Seek(int64_t position) { FLib.kestOggStrSetPos(FHandle, std::clamp<int64_t>(position, 0, Size())); }

int32_t TOggStream::LengthMs() { return FLib.kestOggStrGetLen(FHandle); }

int TOggWaveItem::MixerVolume(int32_t volume) { return (std::clamp(volume, -5000, 0) + 5000) * 256 / 5000; }

TOggWaveItem::TOggWaveItem(TMediaManager& manager, TWavOut& mixer, std::unique_ptr<TOggStream> stream)
    : TDMediaItem(manager), FMixer(mixer) {
  const TWavFormat& f = stream->Format();
  FBytesPerMs = double(f.Channels) * f.BitsPerSample * f.SamplesPerSec / 8000.0;
  FLength = stream->LengthMs();
  FBuffer = mixer.AddBuffer(f, std::move(stream));
}

TOggWaveItem::~TOggWaveItem() { FMixer.RemoveBuffer(FBuffer); }

int64_t TOggWaveItem::BytesOf(int32_t ms) const { return static_cast<int64_t>(std::llround(ms * FBytesPerMs)); }

void TOggWaveItem::SetRepeat(bool value) {
  FRepeat = value;
  FBuffer->SetLoop(FRepeat, BytesOf(FRepeatPos));
}

void TOggWaveItem::SetRepeatPos(int32_t value) {
  FRepeatPos = std::max(value, 0);
  FBuffer->SetLoop(FRepeat, BytesOf(FRepeatPos));
}

void TOggWaveItem::SetVolume(int32_t value) {
  FVolume = value;
  FBuffer->SetVolume(MixerVolume(value));
}

int32_t TOggWaveItem::GetPosition() {
  return FBytesPerMs > 0 ? static_cast<int32_t>(FBuffer->PlayedPosition() / FBytesPerMs) : 0;
}

bool TOggWaveItem::IsPlaying() { return FBuffer->Playing() && !FBuffer->IsFinished(); }

bool TOggWaveItem::IsPaused() { return FBuffer->Paused(); }

void TOggWaveItem::Pause() { FBuffer->Pause(); }

bool TOggWaveItem::AtEnd() { return FBuffer->Playing() && FBuffer->IsFinished(); }

void TOggWaveItem::DoPlay() {
  if (FBuffer->AtEnd()) FBuffer->SetPosition(0);
  FBuffer->Play();
}

void TOggWaveItem::DoSetPosition(int32_t ms) { FBuffer->SetPosition(BytesOf(ms)); }

}  // namespace kest
