#pragma once
// A selection picture: a picture whose regions, read from a map file, light
// up under the mouse (with a hover picture) and are chosen by a click or the
// keys.

#include <memory>
#include <string>
#include <vector>

#include "scene/components/kest_image_list.h"
#include "scene/components/map_file.h"
#include "scene/kest_control.h"

namespace kest {

class TKestMapImage : public TKestControl {
 public:
  explicit TKestMapImage(TKestBaseList& scene);

  TComponentKind Kind() const override { return LT_MAPIMG; }
  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  bool EventsSuppressed() const override { return FSuppressed; }
  void Paint(TCustomDIBX& surface) override;
  void MouseMove() override;
  void MouseOut(TKestControl* next) override;
  void LeftDown() override;
  void KeyRepeat(const TArrayString& keys) override;
  bool CloseByRightClick() override;
  bool Update() override;
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;

  int32_t Region() const { return FRegion; }
  const std::vector<TMapRegion>& Regions() const { return FRegions; }

 private:
  // A frame list that loops by its frames' display times.
  struct TLoop {
    int32_t Index = 0;
    int32_t Remaining = 0;
    void Restart(const TKestImageList& list);
    // True when the frame changed.
    bool Step(const TKestImageList& list, int32_t elapsed);
  };

  void SetSource(std::string& field, TKestImageList& list, const std::string& source);
  void SetMapSource(const std::string& source);
  void SetRegion(int32_t index);
  void Select();
  void Close();
  int32_t RegionAt(int32_t x, int32_t y) const;
  // A private mask of one list's frame cut along the current region, and
  // what it was cut for: it is cut again only when one of them changes.
  struct TCut {
    TDIBX Mask;
    const TPexaItemFrame* Frame = nullptr;
    int32_t Index = -1;
    int32_t Brightness = 0;
    int32_t Region = -1;
  };
  // The frame's picture drawn through its cut: inside the region only, or
  // everything but the region.
  void DrawMasked(TCustomDIBX& surface, TKestImageList& list, int32_t index, bool insideRegion, TCut& cut);
  // The current region's pixels within a picture of that size.
  const std::vector<TMapSpan>& RegionSpans(int32_t width, int32_t height);
  // The pictures or the regions changed: every mask is cut again.
  void ForgetCuts();

  TKestImageList FBase;
  TKestImageList FHover;
  TLoop FBaseLoop;
  TLoop FHoverLoop;
  std::string FSource;
  std::string FHoverSource;
  std::string FMapSource;
  int32_t FAlpha = 255;
  int32_t FBrightness = 0;
  bool FAutoScrap = false;
  bool FRClickScrap = false;
  bool FStopped = false;
  std::vector<TMapRegion> FRegions;
  int32_t FRegion = -1;
  std::vector<TMapSpan> FSpans;
  int32_t FSpansRegion = -1;  // the region index the spans were last cut for
  int32_t FSpansWidth = 0;
  int32_t FSpansHeight = 0;
  TCut FBaseCut;
  TCut FHoverCut;
  int32_t FClosing = 0;  // 100 asked to close, 101 closing
  bool FSuppressed = false;
};

}  // namespace kest
