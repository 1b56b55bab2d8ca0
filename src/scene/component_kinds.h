#pragma once
// The component kinds. A kind is one byte: scripts read it through
// PR_COMPOTYPE and every state record of a component is tagged with it.

#include <cstdint>

namespace kest {

enum TComponentKind : uint8_t {
  LT_NONE = 0,
  LT_AUDIO = 1,
  LT_BOX = 2,
  LT_BUTTON = 3,
  LT_CINEMA = 4,
  LT_EDIT = 5,
  LT_FIRE = 6,
  LT_HTTP = 7,
  LT_IMAGES = 8,
  LT_LABEL = 9,
  LT_MAP = 10,
  LT_MEMO = 11,
  LT_MENU = 12,
  LT_MES = 13,
  LT_PARTICLE = 14,
  LT_TIMER = 15,
  LT_VIDEO = 16,
  LT_SOUND = 17,
  LT_MAPIMG = 18,
  LT_WAVE = 19,
  LT_TILE = 20,
  LT_SLIDER = 21,
  LT_SCROLLBAR = 22,
  LT_GAUGE = 23,
  LT_CGLABEL = 24,
  LT_PREVMENU = 25,
  LT_PROPMOTION = 26,
  LT_CABINET = 27,
};

inline constexpr int32_t kComponentKindCount = 28;

// The kind's display name ("LT_BOX" -> "矩形サーフェス"), UTF-8; empty out of range.
const char* KindLabel(int32_t kind);
const char* KindName(int32_t kind);

}  // namespace kest
