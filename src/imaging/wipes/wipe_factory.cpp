// The table of wipe numbers: each number's class and default parameters.
#include "imaging/wipes/custom_wipe.h"
#include "imaging/wipes/wipe_blinds.h"
#include "imaging/wipes/wipe_blocks.h"
#include "imaging/wipes/wipe_blur.h"
#include "imaging/wipes/wipe_crack.h"
#include "imaging/wipes/wipe_dither.h"
#include "imaging/wipes/wipe_fades.h"
#include "imaging/wipes/wipe_grids.h"
#include "imaging/wipes/wipe_mask_picture.h"
#include "imaging/wipes/wipe_rings.h"
#include "imaging/wipes/wipe_shapes.h"
#include "imaging/wipes/wipe_smears.h"
#include "imaging/wipes/wipe_zooms.h"

namespace kest {

namespace {

using TMaker = std::unique_ptr<TCustomWipe> (*)(TCustomDIBX&, const TCustomDIBX&, const TCustomDIBX&);

template <class T>
std::unique_ptr<TCustomWipe> Make(TCustomDIBX& target, const TCustomDIBX& from, const TCustomDIBX& to) {
  return std::make_unique<T>(target, from, to);
}

struct TWipeEntry {
  TMaker Maker;  // null: no transition (the screens switch at once)
  int32_t Param0;
  int32_t Param1;
};

// clang-format off
constexpr TWipeEntry kWipes[kWipeKindCount] = {
    {nullptr, 0, 0},                    // WP_NONE
    {&Make<TWipeFade>, 0, 0},           // WP_FADE
    {&Make<TWipeBlindH>, 20, 1},        // WP_BLINDH
    {&Make<TWipeBlindV>, 20, 1},        // WP_BLINDV
    {&Make<TWipeCurtainH>, 30, 1},      // WP_CURTAINH
    {&Make<TWipeCurtainV>, 30, 1},      // WP_CURTAINV
    {&Make<TWipeScrollH>, 0, 0},        // WP_SCROLLH
    {&Make<TWipeScrollV>, 0, 0},        // WP_SCROLLV
    {&Make<TWipeGrid>, 80, 30},         // WP_GRID
    {&Make<TWipeGridH>, 80, 30},        // WP_GRIDH
    {&Make<TWipeGridV>, 80, 30},        // WP_GRIDV
    {&Make<TWipeDither>, 0, 0},         // WP_DITHER
    {&Make<TWipeWhite>, 0, 0},          // WP_WHITE
    {&Make<TWipeBlack>, 0, 0},          // WP_BLACK
    {&Make<TWipeFlash>, 0, 0},          // WP_FLASH
    {&Make<TWipeMosaic>, 0, 0},                    // WP_MOSAIC
    {&Make<TWipeSudareH>, 0, 0},                    // WP_SUDAREH
    {&Make<TWipeSudareV>, 0, 0},                    // WP_SUDAREV
    {&Make<TWipeSpot>, 0, 0},                    // WP_SPOT
    {&Make<TWipeShadow>, 0, 0},                    // WP_MASKFADE
    {&Make<TWipeShadowWhite>, 0, 0},                    // WP_MASKWHITE
    {&Make<TWipeShadowBlack>, 0, 0},                    // WP_MASKBLACK
    {&Make<TWipeSmall>, 0, 0},                    // WP_SMALL
    {&Make<TWipeBig>, 0, 0},                    // WP_BIG
    {&Make<TWipeRipple>, 5, 0},                    // WP_RIPPLE
    {&Make<TWipeBlurWhite>, 0, 0},                    // WP_BLURWHITE
    {&Make<TWipeBlurBlack>, 0, 0},                    // WP_BLURBLACK
    {&Make<TWipeTwistH>, 0, 0},                    // WP_TWISTH
    {&Make<TWipeTwistV>, 0, 0},                    // WP_TWISTV
    {&Make<TWipeCrack>, 64, 3},                   // WP_CRACK
    {&Make<TWipeZoomin>, 0, 0},                    // WP_ZOOMIN
    {&Make<TWipeClockHand>, 0, 0},      // WP_CLOCKHAND
    {&Make<TWipeRubberH>, 0, 0},                    // WP_RUBBERH
    {&Make<TWipeRubberV>, 0, 0},                    // WP_RUBBERV
    {&Make<TWipeFan>, 0, 0},            // WP_FAN
    {&Make<TWipeWFan>, 0, 0},           // WP_WFAN
    {&Make<TWipeCircle>, 0, 0},         // WP_CIRCLE
    {&Make<TWipeBlockCoil>, 60, 0},     // WP_BLOCKCOIL
    {&Make<TWipeBlockRandom>, 60, 0},   // WP_BLOCKRANDOM
};
// clang-format on

}  // namespace

std::unique_ptr<TCustomWipe> CreateWipe(int32_t number, TCustomDIBX& target, const TCustomDIBX& from,
                                        const TCustomDIBX& to) {
  if (number <= 0 || number >= kWipeKindCount || !kWipes[number].Maker) return nullptr;
  std::unique_ptr<TCustomWipe> wipe = kWipes[number].Maker(target, from, to);
  wipe->SetParam(0, kWipes[number].Param0);
  wipe->SetParam(1, kWipes[number].Param1);
  return wipe;
}

}  // namespace kest
