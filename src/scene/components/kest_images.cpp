#include "scene/components/kest_images.h"

#include "common/save_versions.h"
#include "common/stream.h"
#include "scene/kest_base_list.h"

namespace kest {

namespace {}  // namespace

// --- the frame animation

const TPexaItemFrame* TKestCustomImages::ShownFrame() const {
  return const_cast<TKestCustomImages*>(this)->Frames().Frame(FIndex);
}

const TDIBX* TKestCustomImages::ShownPicture() { return Frames().Shown(FIndex, FBrightness); }

std::shared_ptr<TDIBX> TKestCustomImages::SharedPicture() { return Frames().SharedShown(FIndex, FBrightness); }

void TKestCustomImages::ShowFrame(int32_t index) {
  TKestImageList& frames = Frames();
  Invalidate();
  FIndex = index < frames.Count() ? index : -1;
  FRemaining = 0;
  FAtEnd = false;
  FEndTold = false;
  if (const TPexaItemFrame* frame = frames.Frame(FIndex)) FRemaining = frame->Delay;
  FitSize();
  Invalidate();
}

void TKestCustomImages::RestoreFrame(int32_t index, int32_t remaining) {
  ShowFrame(index);
  if (FIndex < 0) return;
  FRemaining = remaining;
  // A saved last frame was arrived at; its end was told already when its
  // time had run out before the save.
  const int32_t count = Frames().Count();
  FAtEnd = count > 1 && FIndex == count - 1;
  FEndTold = FAtEnd && remaining < 1;
}

bool TKestCustomImages::TakeEnd() {
  if (FEndTold) return false;
  FEndTold = true;
  return true;
}

bool TKestCustomImages::StepFrames() {
  TKestImageList& frames = Frames();
  const int32_t count = frames.Count();
  if (FIndex < 0 || FIndex >= count || !Visible() || FStopped || std::get<bool>(GetProp(PR_ANIPAUSED))) return false;
  if (FRemaining > 0) FRemaining -= Clock().FrameDelta;
  const int32_t start = FIndex;
  while (FRemaining < 1) {
    if (FIndex < count - 1) {
      if (count <= 2) FRemaining = 0;
      ++FIndex;
      FRemaining += frames.Frame(FIndex)->Delay;
      if (FIndex == count - 1 && count > 1) {
        FRemaining += Scene().Evaluate(FLastFrameExtra);
        FAtEnd = true;
        FEndTold = false;
      }
      continue;
    }
    if (Repeats()) {
      FRemaining = frames.Frame(0)->Delay;
      FIndex = 0;
      FAtEnd = false;
      break;
    }
    // Only an animation that arrived at its last frame has ended.
    if (FIndex != start) {
      Invalidate();
      FitSize();
      Invalidate();
    }
    return FAtEnd;
  }
  if (FIndex != start) {
    Invalidate();
    FitSize();
    Invalidate();
  }
  return false;
}

TPropValue TKestCustomImages::GetProp(int32_t id) const {
  const TPropertyInfo& info = *PropertyInfo(id);
  if (!Keeps(info)) return TKestCustomImage::GetProp(id);
  switch (id) {
    case PR_INDEX: return FIndex;
    case PR_COUNT: return const_cast<TKestCustomImages*>(this)->Frames().Count();
    case PR_BRIGHTNESS: return FBrightness;
    case PR_PAUSED: return FStopped;
    case PR_PLAYING:
      if (FIndex >= 0 && FIndex == const_cast<TKestCustomImages*>(this)->Frames().Count() - 1 && FRemaining < 1 &&
          !Repeats())
        return false;
      return !FStopped && !std::get<bool>(GetProp(PR_ANIPAUSED));
    default: return TKestCustomImage::GetProp(id);
  }
}

void TKestCustomImages::SetProp(int32_t id, TPropValue value) {
  const TPropertyInfo& info = *PropertyInfo(id);
  if (!Keeps(info) || info.ReadOnly) return TKestCustomImage::SetProp(id, std::move(value));
  switch (id) {
    case PR_INDEX: {
      const int32_t index = std::get<int32_t>(value);
      if (index >= 0 && index < Frames().Count()) ShowFrame(index);
      return;
    }
    case PR_COUNT: return;
    case PR_BRIGHTNESS:
      if (FBrightness == std::get<int32_t>(value)) return;
      FBrightness = std::get<int32_t>(value);
      Invalidate();
      return;
    case PR_PAUSED: FStopped = std::get<bool>(value); return;
    default: TKestCustomImage::SetProp(id, std::move(value));
  }
}

void TKestCustomImages::SaveState(TStream& stream) const {
  TKestCustomImage::SaveState(stream);
  WriteInt(stream, FRemaining);
  WriteInt(stream, FIndex);
  WriteInt(stream, FBrightness);
  WriteFlag(stream, FStopped);
  FLastFrameExtra.SaveToStream(stream);
}

void TKestCustomImages::LoadState(TStream& stream, int32_t version) {
  TKestCustomImage::LoadState(stream, version);
  FRemaining = ReadInt(stream);
  FIndex = ReadInt(stream);
  FBrightness = ReadInt(stream);
  FStopped = ReadFlag(stream);
  FLastFrameExtra.LoadFromStream(stream);
}

// --- the animated picture

TKestImages::~TKestImages() = default;

void TKestImages::SetSource(const std::string& source) {
  if (source == FSource) return;
  FSource = source;
  Invalidate();
  FList.Load(Scene().Pictures(), this, source, false);
  ShowFrame(FList.Count() > 0 ? 0 : -1);
}

void TKestImages::Creating(ICreation& creation) {
  if (TKestParser* extra = creation.Expression(PR_DELAY)) SetLastFrameExtra(*extra);
}

TPropValue TKestImages::GetProp(int32_t id) const {
  switch (id) {
    case PR_SOURCE: return FSource;
    case PR_REPEAT: return FRepeat;
    case PR_AUTOSCRAP: return FAutoScrap;
    default: return TKestCustomImages::GetProp(id);
  }
}

void TKestImages::SetProp(int32_t id, TPropValue value) {
  switch (id) {
    case PR_SOURCE:
      // A script hears of a damaged picture; a saved game loads what it can.
      SetSource(std::get<std::string>(value));
      return FList.RaiseIfDamaged();
    case PR_REPEAT: FRepeat = std::get<bool>(value); return;
    case PR_AUTOSCRAP: FAutoScrap = std::get<bool>(value); return;
    default: TKestCustomImages::SetProp(id, std::move(value));
  }
}

bool TKestImages::Update() {
  const bool ended = StepFrames();
  CheckAfterImages(Index(), false);
  if (!ended) return false;
  if (FAutoScrap) return true;
  if (TakeEnd()) Scene().PostEvent(*this, std::get<std::string>(GetProp(PR_ONPLAYEND)), TArrayString(), PR_ONPLAYEND);
  return false;
}

void TKestImages::SaveState(TStream& stream) const {
  TKestCustomImages::SaveState(stream);
  WriteFlag(stream, FRepeat);
  WriteFlag(stream, FAutoScrap);
  WriteStr(stream, FSource);
  WriteStr(stream, std::get<std::string>(GetProp(PR_ONPLAYEND)));
  WriteStr(stream, std::get<std::string>(GetProp(PR_ONIDLE)));
}

void TKestImages::LoadState(TStream& stream, int32_t version) {
  TKestCustomImages::LoadState(stream, version);
  const int32_t index = Index();
  const int32_t remaining = Remaining();
  FRepeat = ReadFlag(stream);
  FAutoScrap = ReadFlag(stream);
  const std::string source = ReadStr(stream);
  TKestCustomImages::SetProp(PR_ONPLAYEND, ReadStr(stream));
  if (version >= kSaveSinceClips) TKestCustomImages::SetProp(PR_ONIDLE, ReadStr(stream));
  // The frames are fetched again; the saved frame is shown.
  FSource.clear();
  SetSource(source);
  if (index >= 0 && index < FList.Count()) RestoreFrame(index, remaining);
}

}  // namespace kest
