#pragma once
// A sound or piece of music: a media object (media_object.h) whose item comes
// from the manager its file name's extension picks.

#include "scene/components/media_object.h"

namespace kest {

class TKestSound : public TMediaObject<TKestComponent> {
 public:
  using TMediaObject::TMediaObject;
  TComponentKind Kind() const override { return LT_SOUND; }

  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  // "Source", the flags, volume and balance, fade time, position, play state
  // and play-end reference, then the load flags and the repeat position.
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;

 protected:
  TDMediaItem* AddItem(ISceneMedia& media) override;

 private:
  // The sound's record after the component's, in both directions.
  void Serialise(TStateIo& io);
};

}  // namespace kest
