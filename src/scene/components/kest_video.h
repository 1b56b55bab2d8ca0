#pragma once
// A movie: a media object (media_object.h) and a picture control. Without the
// overlay flag the movie's frames are copied into a surface of its size, the
// picture the control draws with all its picture properties; with it the
// movie shows above the whole scene, as a window of its own would, at the
// control's place, clipped to its ancestors and its clip.

#include <cstdint>

#include "imaging/pexa_collection.h"
#include "scene/components/kest_custom_image.h"
#include "scene/components/media_object.h"
#include "scene/scene_overlays.h"

namespace kest {

class TDsVideoItem;

class TKestVideo : public TMediaObject<TKestCustomImage>, private ISceneOverlay {
 public:
  using TMediaObject::TMediaObject;
  ~TKestVideo() override;
  TComponentKind Kind() const override { return LT_VIDEO; }

  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  bool Update() override;
  void Paint(TCustomDIBX& surface) override;
  // The picture part, then source, flags, volume and balance, fade time,
  // position, play state, the play-end and idle references, and the load
  // flags with the overlay flag.
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;
  void EnterCabinet() override;
  void LeaveCabinet() override;

  bool Overlay() const { return FOverlay; }
  // The output area the overlay covers now (empty when it does not show).
  TRect OverlayRect() override;

 protected:
  TDMediaItem* AddItem(ISceneMedia& media) override;
  void ItemOpened() override;
  void ItemClosing() override;
  bool ReplayResumes(TDMediaItem& item) override;
  const TPexaItemFrame* ShownFrame() const override { return FFrame.Surface ? &FFrame : nullptr; }
  const TDIBX* ShownPicture() override { return FFrame.Surface.get(); }

 private:
  // The movie's record after the picture's, in both directions.
  void Serialise(TStateIo& io);
  void PaintOverlay(TCustomDIBX& output, const TRect& rect) override;
  TDsVideoItem* Video() const;
  // Copies the movie's current frame into the frame surface.
  void TakeFrame();
  // Waits a little for a loaded movie's frame, so that it does not show
  // black while the decoder seeks to its place.
  void AwaitFrame();
  void SetOverlay(bool overlay);

  TPexaItemFrame FFrame;
  bool FOverlay = true;
  bool FPausedByCabinet = false;
  int64_t FLastCheck = -1000000;
};

}  // namespace kest
