#include "media/items/kestlib_items.h"

#include "common/stream.h"

namespace kest {

namespace {

constexpr KestBool Flag(bool value) { return value ? -1 : 0; }

}  // namespace

#define KEST_FAMILY(Kind, Del)                                                                                      \
  TKestLibFamily {                                                                                                  \
    lib.kest##Kind##GetPan, lib.kest##Kind##SetPan, lib.kest##Kind##GetVolume, lib.kest##Kind##SetVolume,           \
        lib.kest##Kind##GetPosition, lib.kest##Kind##SetPosition, lib.kest##Kind##GetLength, lib.kest##Kind##IsEnd, \
        lib.kest##Kind##IsPlaying, lib.kest##Kind##IsPaused, lib.kest##Kind##Play, lib.kest##Kind##Pause,           \
        lib.kest##Kind##GetAutoRepeat, lib.kest##Kind##SetAutoRepeat, lib.Del                                       \
  }

TKestLibFamily OggFamily(const TKestLib& lib) { return KEST_FAMILY(Ogg, kestOggmanDel); }
TKestLibFamily WmpFamily(const TKestLib& lib) { return KEST_FAMILY(Wmp, kestWmpmanDel); }
TKestLibFamily VideoFamily(const TKestLib& lib) { return KEST_FAMILY(Video, kestVidmanDel); }
#undef KEST_FAMILY

TKestLibItem::TKestLibItem(TMediaManager& manager, TKestLibFamily family, std::unique_ptr<TStream> stream)
    : TDMediaItem(manager), FFamily(family), FStream(std::move(stream)) {}

TKestLibItem::~TKestLibItem() {
  if (FHandle) FFamily.Delete(FHandle);
}

void TKestLibItem::SetRepeat(bool value) {
  if (FHandle) FFamily.SetAutoRepeat(FHandle, Flag(value));
}

void TKestLibItem::SetPan(int32_t value) {
  if (FHandle) FFamily.SetPan(FHandle, value);
}

void TKestLibItem::SetVolume(int32_t value) {
  if (FHandle) FFamily.SetVolume(FHandle, value);
}

void TKestLibItem::Pause() {
  if (FHandle) FFamily.Pause(FHandle);
}

bool TKestLibItem::AtEnd() {
  if (!FHandle) return true;
  if (FFamily.IsEnd(FHandle)) FEnded = true;
  return FEnded;
}

void TKestLibItem::DoPlay() {
  FEnded = false;
  if (FHandle) FFamily.Play(FHandle);
}

void TKestLibItem::DoSetPosition(int32_t ms) {
  FEnded = false;
  if (FHandle) FFamily.SetPosition(FHandle, ms);
}

TOggItem::TOggItem(TMediaManager& manager, const TKestLib& lib, std::unique_ptr<TStream> stream, bool isOgg)
    : TKestLibItem(manager, OggFamily(lib), std::move(stream)), FLib(lib) {
  if (Stream()) Attach(lib.kestOggmanAdd(Stream(), Flag(isOgg)));
}

int32_t TOggItem::GetRepeatPos() { return Handle() ? FLib.kestOggGetRepeatPos(Handle()) : 0; }

void TOggItem::SetRepeatPos(int32_t value) {
  if (Handle()) FLib.kestOggSetRepeatPos(Handle(), value);
}

TWmpItem::TWmpItem(TMediaManager& manager, const TKestLib& lib, const std::vector<uint8_t>& data)
    : TKestLibItem(manager, WmpFamily(lib)) {
  if (!data.empty()) Attach(lib.kestWmpmanAdd(data.data(), static_cast<int32_t>(data.size())));
}

TDsVideoItem::TDsVideoItem(TMediaManager& manager, const TKestLib& lib, const std::string& fileName,
                           std::unique_ptr<TStream> stream, bool drawToSurface)
    : TKestLibItem(manager, VideoFamily(lib), std::move(stream)), FLib(lib) {
  Attach(lib.kestVidmanAdd(fileName.c_str(), Stream(), Flag(drawToSurface)));
}

int32_t TDsVideoItem::GetSourceWidth() { return Handle() ? FLib.kestVideoGetSourceWidth(Handle()) : 0; }
int32_t TDsVideoItem::GetSourceHeight() { return Handle() ? FLib.kestVideoGetSourceHeight(Handle()) : 0; }
bool TDsVideoItem::GetVisible() { return Handle() && FLib.kestVideoGetVisible(Handle()) != 0; }

void TDsVideoItem::SetVisible(bool value) {
  if (Handle()) FLib.kestVideoSetVisible(Handle(), Flag(value));
}

bool TDsVideoItem::NeedPaint() { return Handle() && FLib.kestVideoNeedPaint(Handle()) != 0; }

void TDsVideoItem::SetRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (Handle()) FLib.kestVideoSetRect(Handle(), left, top, right, bottom);
}

bool TDsVideoItem::GetFrame(int32_t bits, KestVideoFrame& frame) {
  return Handle() && FLib.kestVideoGetFrame(Handle(), bits, &frame) != 0;
}

void TDsVideoItem::FrameDone() {
  if (Handle()) FLib.kestVideoFrameDone(Handle());
}

}  // namespace kest
