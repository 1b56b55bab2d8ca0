#pragma once
// The picture kinds that step through frames, and the animated picture
// itself: frames from a picture file, shown in turn by their display times,
// looping or playing once.

#include <memory>
#include <string>

#include "language/kest_parser.h"
#include "scene/components/kest_custom_image.h"
#include "scene/components/kest_image_list.h"

namespace kest {

class TKestCustomImages : public TKestCustomImage {
 public:
  using TKestCustomImage::TKestCustomImage;

  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;

  // The creating command's expression whose value lengthens the last frame.
  void SetLastFrameExtra(const TKestParser& expression) { FLastFrameExtra.Assign(expression); }
  int32_t Index() const { return FIndex; }

 protected:
  // The frames being shown now (the current state's, for buttons).
  virtual TKestImageList& Frames() = 0;
  virtual bool Repeats() const = 0;
  const TPexaItemFrame* ShownFrame() const override;
  const TDIBX* ShownPicture() override;
  std::shared_ptr<TDIBX> SharedPicture() override;
  // Shows frame index from its beginning (its display time to run).
  void ShowFrame(int32_t index);
  // One update of the frame animation; true when the last frame ran out.
  bool StepFrames();
  bool AtEnd() const { return FAtEnd; }
  int32_t Remaining() const { return FRemaining; }
  // True once for each arrival at the last frame whose time then ran out.
  bool TakeEnd();
  // Shows a frame with the display time it had left when it was saved.
  void RestoreFrame(int32_t index, int32_t remaining);
  // The last frame's display time has run out.
  bool LastFrameRanOut() { return FIndex >= 0 && FIndex == Frames().Count() - 1 && FRemaining < 1; }

 private:
  int32_t FRemaining = 0;
  int32_t FIndex = -1;
  int32_t FBrightness = 0;
  bool FStopped = false;
  bool FAtEnd = false;
  bool FEndTold = false;
  TKestParser FLastFrameExtra;
};

class TKestImages : public TKestCustomImages {
 public:
  using TKestCustomImages::TKestCustomImages;
  ~TKestImages() override;

  TComponentKind Kind() const override { return LT_IMAGES; }
  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  bool Update() override;
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;
  // The last frame lasts longer by the value of the delay the page gives.
  void Creating(ICreation& creation) override;

 protected:
  TKestImageList& Frames() override { return FList; }
  bool Repeats() const override { return FRepeat; }
  // A new source: its frames from the image cache, frame 0 shown.
  virtual void SetSource(const std::string& source);
  TKestImageList& SourceFrames() { return FList; }
  const std::string& Source() const { return FSource; }
  bool AutoScrap() const { return FAutoScrap; }

 private:
  TKestImageList FList;
  std::string FSource;
  bool FRepeat = false;
  bool FAutoScrap = false;
};

}  // namespace kest
