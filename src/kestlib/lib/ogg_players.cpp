// The Ogg entry points: players of Ogg Vorbis and WAV files on the sound
// output, and the decoders the player's own mixer reads as PCM bytes.
#include "kestlib/lib/audio_items.h"

namespace {

using kestlib::TAudioPlayer;
using kestlib::TItemTable;
using kestlib::TPcmStream;

// Never destroyed: items the program has not deleted at exit stay as they are.
TItemTable<TAudioPlayer>& Players() {
  static auto* table = new TItemTable<TAudioPlayer>;
  return *table;
}

TItemTable<TPcmStream>& Streams() {
  static auto* table = new TItemTable<TPcmStream>;
  return *table;
}

std::unique_ptr<kestlib::IAudioDecoder> OpenStream(void* stream, KestBool isOgg) {
  return kestlib::OpenSound(kestlib::MakeCallbackSource(kestlib::Callbacks(), stream), isOgg != 0);
}

}  // namespace

KEST_EXPORT KestHandle kestOggmanAdd(void* stream, KestBool isOgg) {
  auto decoder = OpenStream(stream, isOgg);
  if (!decoder) return 0;
  return Players().Add(std::make_unique<TAudioPlayer>(std::move(decoder), kestlib::SoundBus()));
}

KEST_EXPORT void kestOggmanDel(KestHandle item) { Players().Remove(item); }

KEST_EXPORT void kestOggmanRestore(void) {}

KEST_EXPORT KestHandle kestOggStrmanAdd(void* stream, KestBool isOgg) {
  auto decoder = OpenStream(stream, isOgg);
  if (!decoder) return 0;
  return Streams().Add(std::make_unique<TPcmStream>(std::move(decoder)));
}

KEST_EXPORT void kestOggStrmanDel(KestHandle item) { Streams().Remove(item); }

KEST_DEFINE_AUDIO_ITEM_FUNCTIONS(Ogg, Players())

KEST_EXPORT int32_t kestOggGetRepeatPos(KestHandle item) {
  return kestlib::WithItem<int32_t>(Players(), item, [](TAudioPlayer& p) { return p.GetRepeatPos(); });
}

KEST_EXPORT void kestOggSetRepeatPos(KestHandle item, int32_t value) {
  kestlib::WithItem<void>(Players(), item, [&](TAudioPlayer& p) { p.SetRepeatPos(value); });
}

KEST_EXPORT KestBool kestOggStrGetFormat(KestHandle item, KestWaveFormat* format) {
  TPcmStream* stream = Streams().Find(item);
  if (!stream || !format) return 0;
  *format = stream->Format();
  return -1;
}

KEST_EXPORT int64_t kestOggStrGetSize(KestHandle item) {
  return kestlib::WithItem<int64_t>(Streams(), item, [](TPcmStream& s) { return s.Size(); });
}

KEST_EXPORT int64_t kestOggStrGetPos(KestHandle item) {
  return kestlib::WithItem<int64_t>(Streams(), item, [](TPcmStream& s) { return s.Position(); });
}

KEST_EXPORT void kestOggStrSetPos(KestHandle item, int64_t position) {
  kestlib::WithItem<void>(Streams(), item, [&](TPcmStream& s) { s.SetPosition(position); });
}

KEST_EXPORT int32_t kestOggStrRead(KestHandle item, void* buffer, int32_t count) {
  if (!buffer) return 0;
  return kestlib::WithItem<int32_t>(Streams(), item, [&](TPcmStream& s) { return s.Read(buffer, count); });
}

KEST_EXPORT int32_t kestOggStrGetLen(KestHandle item) {
  return kestlib::WithItem<int32_t>(Streams(), item, [](TPcmStream& s) { return s.LengthMs(); });
}
