#include "scene/components/kest_video.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "common/app_globals.h"
#include "common/save_versions.h"
#include "common/stream.h"
#include "imaging/custom_dibx.h"
#include "media/items/kestlib_items.h"
#include "scene/kest_base_list.h"
#include "scene/scene_media.h"

namespace kest {

namespace {

// New frames are looked for at most this often (ms of the scene clock, which
// runs with the system's in a window and with the game's in a headless run):
// more often would redraw the control for frames the eye cannot tell apart.
constexpr int64_t kFrameCheck = 32;
// How long a loaded movie may hold the load back for the frame at its place,
// which the decoder has to seek to: until it comes the movie shows black.
constexpr auto kFirstFrameWait = std::chrono::milliseconds(500);

// The pixel layouts the movie decoder gives.
int FrameBits(int surfaceBits) { return surfaceBits == 15 || surfaceBits == 16 ? surfaceBits : 32; }

}  // namespace

TKestVideo::~TKestVideo() {
  // The base's destructor gives the item back; the overlay goes first.
  Scene().Overlays().Remove(*this);
}

TDsVideoItem* TKestVideo::Video() const { return static_cast<TDsVideoItem*>(Item()); }

TDMediaItem* TKestVideo::AddItem(ISceneMedia& media) { return media.AddVideo(Source(), !FOverlay); }

void TKestVideo::ItemOpened() {
  TDsVideoItem& video = *Video();
  const int32_t w = std::clamp(video.GetSourceWidth(), 0, 8192);
  const int32_t h = std::clamp(video.GetSourceHeight(), 0, 8192);
  FFrame.Surface = std::make_unique<TDIBX>(w, h, FrameBits(Scene().Output().BitCount()));
  FFrame.Surface->FillRect(FFrame.Surface->Bounds(), 0);
  Invalidate();
  FitSize();
  Invalidate();
  if (FOverlay) Scene().Overlays().Add(*this);
}

void TKestVideo::ItemClosing() {
  Scene().Overlays().Remove(*this);
  Invalidate();
  FFrame.Surface.reset();
}

void TKestVideo::SetOverlay(bool overlay) {
  if (overlay == FOverlay) return;
  FOverlay = overlay;
  // The item decodes for the one way of showing or the other: a playing
  // movie is opened again at its place.
  if (!Item()) return;
  const uint8_t state = PlayState();
  const int32_t position = ItemPosition();
  const bool paused = FPaused;
  const std::string source = Source();
  SetSource(std::string());
  SetSource(source);
  SetProp(PR_INDEX, position);
  FPaused = paused;
  SetPlayState(state == kPlayStateFadingOut ? kPlayStatePlaying : state);
}

bool TKestVideo::ReplayResumes(TDMediaItem& item) { return item.IsPaused(); }

void TKestVideo::TakeFrame() {
  TDsVideoItem* video = Video();
  TDIBX* surface = FFrame.Surface.get();
  if (!video || !surface || surface->Width() < 1 || surface->Height() < 1) return;
  KestVideoFrame frame{};
  if (!video->GetFrame(surface->BitCount(), frame) || !frame.pixels) return;
  const int32_t rows = std::min(frame.height, surface->Height());
  const size_t bytes = static_cast<size_t>(std::min(frame.width, surface->Width())) * (surface->StoredBitCount() / 8);
  const auto* source = static_cast<const uint8_t*>(frame.pixels);
  for (int32_t y = 0; y < rows; ++y) std::memcpy(surface->ScanLine(y), source + ptrdiff_t{y} * frame.pitch, bytes);
  video->FrameDone();
}

void TKestVideo::Paint(TCustomDIBX& surface) {
  if (FOverlay) return;
  TakeFrame();
  TKestCustomImage::Paint(surface);
}

TRect TKestVideo::OverlayRect() {
  if (!FOverlay || !FFrame.Surface || !IsShowing()) return {};
  TRect r = BoundsRect();
  for (TKestControl* parent = Parent(); parent && !r.IsEmpty(); parent = parent->Parent())
    r = IntersectRect(r, parent->BoundsRect());
  const TRect clip = ClipRectAbs();
  if (!clip.IsEmpty()) r = IntersectRect(r, clip);
  return r;
}

void TKestVideo::PaintOverlay(TCustomDIBX& output, const TRect&) {
  TakeFrame();
  const TDIBX& picture = *FFrame.Surface;
  const TRect bounds = BoundsRect();
  if (bounds.Right - bounds.Left == picture.Width() && bounds.Bottom - bounds.Top == picture.Height())
    output.Draw(bounds.Left, bounds.Top, picture, picture.Bounds(), TBlit::None);
  else
    output.StretchDraw(bounds, picture, picture.Bounds(), TBlit::None, 255);
}

bool TKestVideo::Update() {
  if (TMediaObject::Update()) return true;
  TDsVideoItem* video = Video();
  if (FOverlay || !video) return false;
  const int64_t now = Clock().GameTime;
  if (now >= FLastCheck && now - FLastCheck < kFrameCheck) return false;
  FLastCheck = now;
  if (video->NeedPaint()) Invalidate();
  return false;
}

void TKestVideo::EnterCabinet() {
  TDsVideoItem* video = Video();
  if (!video || !video->IsPlaying()) return;
  video->Pause();
  FPausedByCabinet = true;
}

void TKestVideo::LeaveCabinet() {
  if (!std::exchange(FPausedByCabinet, false)) return;
  if (TDsVideoItem* video = Video(); video && !Paused()) video->Play();
}

TPropValue TKestVideo::GetProp(int32_t id) const {
  if (id == PR_OVERLAY) return FOverlay;
  return TMediaObject::GetProp(id);
}

void TKestVideo::SetProp(int32_t id, TPropValue value) {
  if (id == PR_OVERLAY) return SetOverlay(std::get<bool>(value));
  TMediaObject::SetProp(id, std::move(value));
}

void TKestVideo::Serialise(TStateIo& io) {
  // However short, a movie shows until its end: it comes back playing.
  TLoaded record = Recorded(PlayState());
  int32_t balance = FBalance;
  std::string idle = std::get<std::string>(GetProp(PR_ONIDLE));
  io.Str(record.Source);
  io.Flag(FRepeat);
  io.Flag(FAutoScrap);
  io.Flag(record.Paused);
  io.Int(FVolume);
  io.Int(balance);
  io.Int(record.FadeTime);
  io.Int(record.Position);
  io.Byte(record.State);
  io.Str(FOnPlayEnd);
  io.Str(idle);
  if (io.Since(kSaveSinceRewindOnLoad)) io.Flag(FRewindOnLoad);
  if (io.Since(kSaveSinceOverlay)) io.Flag(FOverlay);
  if (io.Since(kSaveSinceMuteOnLoad)) io.Flag(FMuteOnLoad);
  if (!io.Reading()) return;
  SetProp(PR_ONIDLE, idle);
  TakeLoaded(std::move(record), balance);
  // A record is read inside its parent: a cabinet holds the movie it keeps.
  if (Parent() && Parent()->Kind() == LT_CABINET) EnterCabinet();
  AwaitFrame();
}

void TKestVideo::SaveState(TStream& stream) const {
  TKestCustomImage::SaveState(stream);
  // Writing reads the fields and changes none of them.
  TStateIo io = TStateIo::Writer(stream);
  const_cast<TKestVideo*>(this)->Serialise(io);
}

void TKestVideo::LoadState(TStream& stream, int32_t version) {
  TKestCustomImage::LoadState(stream, version);
  TStateIo io = TStateIo::Reader(stream, version);
  Serialise(io);
}

void TKestVideo::AwaitFrame() {
  TDsVideoItem* video = Video();
  if (!video || FOverlay) return;
  const auto deadline = std::chrono::steady_clock::now() + kFirstFrameWait;
  while (!video->NeedPaint() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  Invalidate();
}

}  // namespace kest
