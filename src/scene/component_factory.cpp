// The factory of components by kind byte: state records and commands create
// objects through it.
#include "scene/kest_base_list.h"

#include "scene/components/kest_box.h"
#include "scene/components/kest_button.h"
#include "scene/components/kest_cabinet.h"
#include "scene/components/kest_cg_label.h"
#include "scene/components/kest_cinema.h"
#include "scene/components/kest_edit.h"
#include "scene/components/kest_fire.h"
#include "scene/components/kest_gauge.h"
#include "scene/components/kest_http.h"
#include "scene/components/kest_images.h"
#include "scene/components/kest_label.h"
#include "scene/components/kest_map_image.h"
#include "scene/components/kest_memo.h"
#include "scene/components/kest_menu.h"
#include "scene/components/kest_mes.h"
#include "scene/components/kest_particle.h"
#include "scene/components/kest_prev_menu.h"
#include "scene/components/kest_prop_motion.h"
#include "scene/components/kest_scrollbar.h"
#include "scene/components/kest_slider.h"
#include "scene/components/kest_sound.h"
#include "scene/components/kest_tile.h"
#include "scene/components/kest_timer.h"
#include "scene/components/kest_video.h"
#include "scene/components/kest_wave.h"

namespace kest {

namespace {

using TMaker = TKestObject& (*)(TKestBaseList&);

template <class T>
TKestObject& Make(TKestBaseList& scene) {
  return scene.Create<T>();
}

// Audio (1) and map (10) kinds exist only in the editor.
constexpr TMaker kMakers[kComponentKindCount] = {
    nullptr,                 // LT_NONE
    nullptr,                 // LT_AUDIO
    &Make<TKestBox>,         // LT_BOX
    &Make<TKestButton>,      // LT_BUTTON
    &Make<TKestCinema>,      // LT_CINEMA
    &Make<TKestEdit>,        // LT_EDIT
    &Make<TKestFire>,        // LT_FIRE
    &Make<TKestHttp>,        // LT_HTTP
    &Make<TKestImages>,      // LT_IMAGES
    &Make<TKestLabel>,       // LT_LABEL
    nullptr,                 // LT_MAP
    &Make<TKestMemo>,        // LT_MEMO
    &Make<TKestMenu>,        // LT_MENU
    &Make<TKestMes>,         // LT_MES
    &Make<TKestParticle>,    // LT_PARTICLE
    &Make<TKestTimer>,       // LT_TIMER
    &Make<TKestVideo>,       // LT_VIDEO
    &Make<TKestSound>,       // LT_SOUND
    &Make<TKestMapImage>,    // LT_MAPIMG
    &Make<TKestWave>,        // LT_WAVE
    &Make<TKestTile>,        // LT_TILE
    &Make<TKestSlider>,      // LT_SLIDER
    &Make<TKestScrollbar>,   // LT_SCROLLBAR
    &Make<TKestGauge>,       // LT_GAUGE
    &Make<TKestCGLabel>,     // LT_CGLABEL
    &Make<TKestPrevMenu>,    // LT_PREVMENU
    &Make<TKestPropMotion>,  // LT_PROPMOTION
    &Make<TKestCabinet>,     // LT_CABINET
};

}  // namespace

TKestObject* TKestBaseList::CreateByKind(uint8_t kind) {
  const uint8_t masked = kind & 0x7F;
  if (masked >= kComponentKindCount || !kMakers[masked]) return nullptr;
  return &kMakers[masked](*this);
}

}  // namespace kest
