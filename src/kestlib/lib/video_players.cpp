// The video entry points. Until its players arrive every manager answers "no
// item" and every query zero, which the player treats as a silent, ended item.
#include <type_traits>

#include "kestlib/lib/lib_state.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define KEST_DEFINE_NO_ITEM(R, name, params) \
  KEST_EXPORT R name params { return kestlib::NoItem<R>(); }
KEST_LIB_VIDEO_FUNCTIONS(KEST_DEFINE_NO_ITEM)
#undef KEST_DEFINE_NO_ITEM
#pragma GCC diagnostic pop
