#pragma once
// Transitions ("wipes"): the change from one picture to another drawn for a
// position in time. A wipe draws, at each redraw, the state of the change
// into the target from the two pictures; it owns only its own working
// surfaces. Where the integer arithmetic is ours to choose, each kind says
// in a comment which form it takes.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "imaging/dibx.h"
#include "imaging/rect.h"

namespace kest {

enum TWipeKind : int32_t {
  WP_NONE = 0,
  WP_FADE,
  WP_BLINDH,
  WP_BLINDV,
  WP_CURTAINH,
  WP_CURTAINV,
  WP_SCROLLH,
  WP_SCROLLV,
  WP_GRID,
  WP_GRIDH,
  WP_GRIDV,
  WP_DITHER,
  WP_WHITE,
  WP_BLACK,
  WP_FLASH,
  WP_MOSAIC,
  WP_SUDAREH,
  WP_SUDAREV,
  WP_SPOT,
  WP_MASKFADE,
  WP_MASKWHITE,
  WP_MASKBLACK,
  WP_SMALL,
  WP_BIG,
  WP_RIPPLE,
  WP_BLURWHITE,
  WP_BLURBLACK,
  WP_TWISTH,
  WP_TWISTV,
  WP_CRACK,
  WP_ZOOMIN,
  WP_CLOCKHAND,
  WP_RUBBERH,
  WP_RUBBERV,
  WP_FAN,
  WP_WFAN,
  WP_CIRCLE,
  WP_BLOCKCOIL,
  WP_BLOCKRANDOM,
};
inline constexpr int32_t kWipeKindCount = 39;

class TCustomWipe {
 public:
  // The pictures must outlive the wipe and have the target's size.
  TCustomWipe(TCustomDIBX& target, const TCustomDIBX& from, const TCustomDIBX& to)
      : FTarget(target), FFrom(from), FTo(to) {}
  virtual ~TCustomWipe() = default;
  TCustomWipe(const TCustomWipe&) = delete;
  TCustomWipe& operator=(const TCustomWipe&) = delete;

  virtual void SetReverse(bool reverse) { FReverse = reverse; }
  bool Reverse() const { return FReverse; }
  int32_t GetParam(int index) const { return index >= 0 && index < 6 ? FParam[size_t(index)] : 0; }
  virtual void SetParam(int index, int32_t value);
  // The picture the mask-picture kinds are ordered by, as 8-bit grey levels
  // of any size (it is tiled); none, or a loader that raises EKestError:
  // every pixel changes alike.
  using TMaskLoader = std::function<std::optional<TDIBX>(const std::string& name)>;
  void SetMaskName(std::string name, TMaskLoader loader) {
    FMaskName = std::move(name);
    FMaskLoader = std::move(loader);
  }
  // Called once after the parameters are set.
  virtual void Prepare() {}
  // Draws the state for Position into the target; true (drawing nothing)
  // once Position reaches Duration.
  bool Step();
  TRect UpdateRect() const { return {FParam[2], FParam[3], FParam[4], FParam[5]}; }

  int32_t Duration = 1;
  int32_t Position = 0;

 protected:
  // Draws the state for 0 <= Position < Duration.
  virtual void Draw() = 0;
  // The position as a fraction of the duration, 0 <= p < 1.
  double Progress() const { return double(Position) / Duration; }
  // Position * scale / Duration, truncated, in 64 bits.
  int32_t Scaled(int64_t scale) const { return static_cast<int32_t>(int64_t{Position} * scale / Duration); }
  int32_t W() const { return FTarget.Width(); }
  int32_t H() const { return FTarget.Height(); }
  std::optional<TDIBX> LoadMaskPicture() const;

  TCustomDIBX& FTarget;
  const TCustomDIBX& FFrom;
  const TCustomDIBX& FTo;
  bool FReverse = false;
  std::array<int32_t, 6> FParam{};
  std::string FMaskName;
  TMaskLoader FMaskLoader;
};

// The wipe of a number with its default parameters; none for 0 and numbers
// outside the table.
std::unique_ptr<TCustomWipe> CreateWipe(int32_t number, TCustomDIBX& target, const TCustomDIBX& from,
                                        const TCustomDIBX& to);

}  // namespace kest
