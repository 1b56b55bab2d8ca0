#pragma once
// The numbered properties of scene objects. Compiled scripts refer to
// properties by id only; the names are for tools and messages.

#include <cstdint>
#include <span>

#include "scene/component_kinds.h"

namespace kest {

inline constexpr int32_t kPropertyCount = 165;

enum class TPropType : uint8_t { Int, Float, Bool, Str };

// Which objects keep a property. Any other object reads the default and
// ignores writes.
enum class TKeepScope : uint8_t {
  Nobody,
  All,       // every object
  Controls,  // every visual kind and the base screens, less the kinds in the mask
  Kinds,     // the kinds in the mask
};

struct TKeptBy {
  TKeepScope Scope;
  uint32_t Kinds;  // bit k stands for kind k

  bool Keeps(TComponentKind kind, bool isControl) const;
};

struct TPropertyInfo {
  int32_t Id;
  const char* Name;  // "PR_NAME" ...
  TPropType Type;
  bool ReadOnly;
  const char* Label;  // the editor's caption, UTF-8
  // What an object that keeps no value answers (int properties; the others
  // answer 0, false or the empty string).
  int32_t Default;
  TKeptBy KeptBy;
};

// Nothing for an id outside 0..164.
const TPropertyInfo* PropertyInfo(int32_t id);
std::span<const TPropertyInfo> Properties();

// The ids that name properties in code.
enum TPropId : int32_t {
  PR_NAME = 0,
  PR_PARENT = 1,
  PR_SOURCE = 2,
  PR_LEFT = 3,
  PR_TOP = 4,
  PR_WIDTH = 5,
  PR_HEIGHT = 6,
  PR_COLOR = 8,
  PR_PRIORITY = 12,
  PR_OFFSETX = 13,
  PR_OFFSETY = 14,
  PR_FONTSTYLE = 17,
  PR_FONTHOVERSTYLE = 23,
  PR_PAUSED = 27,
  PR_ONMOUSEMOVE = 34,
  PR_ONMOUSEOUT = 35,
  PR_ONLBTNDOWN = 36,
  PR_ONLBTNUP = 37,
  PR_ONRBTNDOWN = 38,
  PR_ONRBTNUP = 39,
  PR_ONWHEELDOWN = 40,
  PR_ONWHEELUP = 41,
  PR_ONPLAYEND = 43,
  PR_VISIBLE = 47,
  PR_TEXT = 50,
  PR_RCLICKSCRAP = 73,
  PR_CARETX = 78,
  PR_CARETY = 79,
  PR_IGNOREMOUSE = 80,
  PR_APPEARX = 92,
  PR_APPEARY = 93,
  PR_CURSOR = 99,
  PR_POSZOOMED = 100,
  PR_ONMOUSEIN = 103,
  PR_ONIDLE = 113,
  PR_CLIPLEFT = 116,
  PR_CLIPTOP = 117,
  PR_CLIPWIDTH = 118,
  PR_CLIPHEIGHT = 119,
  PR_ANIPAUSED = 134,
  PR_PLAYING = 138,
  PR_COMPOTYPE = 140,
  PR_ONKEYDOWN = 144,
  PR_ONKEYUP = 145,
  PR_ONKEYREPEAT = 146,
  PR_HANDLEKEY = 147,
  PR_ONFOCUSIN = 148,
  PR_ONFOCUSOUT = 149,
  PR_TAG = 151,
  PR_PLUSX = 159,
  PR_PLUSY = 160,
  PR_CARETHEIGHT = 161,
  PR_BLURDELAY = 164,
};

}  // namespace kest
