#include "platform/sdl/sdl_keys.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/vk_keys.h"

namespace kest {
namespace {

struct TScanVk {
  SDL_Scancode scan;
  uint8_t vk;
};

// Positions shared by the US and JIS layouts, and the US punctuation.
// clang-format off
constexpr TScanVk kCommon[] = {
    {SDL_SCANCODE_BACKSPACE, vk::kBack},
    {SDL_SCANCODE_TAB, vk::kTab},
    {SDL_SCANCODE_CLEAR, vk::kClear},
    {SDL_SCANCODE_RETURN, vk::kReturn},
    {SDL_SCANCODE_RETURN2, vk::kReturn},
    {SDL_SCANCODE_KP_ENTER, vk::kReturn},
    {SDL_SCANCODE_LSHIFT, vk::kShift},
    {SDL_SCANCODE_RSHIFT, vk::kShift},
    {SDL_SCANCODE_LCTRL, vk::kControl},
    {SDL_SCANCODE_RCTRL, vk::kControl},
    {SDL_SCANCODE_LALT, vk::kMenu},
    {SDL_SCANCODE_RALT, vk::kMenu},
    {SDL_SCANCODE_PAUSE, vk::kPause},
    {SDL_SCANCODE_CAPSLOCK, vk::kCapital},
    {SDL_SCANCODE_ESCAPE, vk::kEscape},
    {SDL_SCANCODE_SPACE, vk::kSpace},
    {SDL_SCANCODE_PAGEUP, vk::kPrior},
    {SDL_SCANCODE_PAGEDOWN, vk::kNext},
    {SDL_SCANCODE_END, vk::kEnd},
    {SDL_SCANCODE_HOME, vk::kHome},
    {SDL_SCANCODE_LEFT, vk::kLeft},
    {SDL_SCANCODE_UP, vk::kUp},
    {SDL_SCANCODE_RIGHT, vk::kRight},
    {SDL_SCANCODE_DOWN, vk::kDown},
    {SDL_SCANCODE_SELECT, 0x29},
    {SDL_SCANCODE_EXECUTE, 0x2B},
    {SDL_SCANCODE_PRINTSCREEN, vk::kSnapshot},
    {SDL_SCANCODE_SYSREQ, vk::kSnapshot},
    {SDL_SCANCODE_INSERT, vk::kInsert},
    {SDL_SCANCODE_DELETE, vk::kDelete},
    {SDL_SCANCODE_HELP, 0x2F},
    {SDL_SCANCODE_0, 0x30}, {SDL_SCANCODE_1, 0x31}, {SDL_SCANCODE_2, 0x32}, {SDL_SCANCODE_3, 0x33},
    {SDL_SCANCODE_4, 0x34}, {SDL_SCANCODE_5, 0x35}, {SDL_SCANCODE_6, 0x36}, {SDL_SCANCODE_7, 0x37},
    {SDL_SCANCODE_8, 0x38}, {SDL_SCANCODE_9, 0x39},
    {SDL_SCANCODE_A, 0x41}, {SDL_SCANCODE_B, 0x42}, {SDL_SCANCODE_C, 0x43}, {SDL_SCANCODE_D, 0x44},
    {SDL_SCANCODE_E, 0x45}, {SDL_SCANCODE_F, 0x46}, {SDL_SCANCODE_G, 0x47}, {SDL_SCANCODE_H, 0x48},
    {SDL_SCANCODE_I, 0x49}, {SDL_SCANCODE_J, 0x4A}, {SDL_SCANCODE_K, 0x4B}, {SDL_SCANCODE_L, 0x4C},
    {SDL_SCANCODE_M, 0x4D}, {SDL_SCANCODE_N, 0x4E}, {SDL_SCANCODE_O, 0x4F}, {SDL_SCANCODE_P, 0x50},
    {SDL_SCANCODE_Q, 0x51}, {SDL_SCANCODE_R, 0x52}, {SDL_SCANCODE_S, 0x53}, {SDL_SCANCODE_T, 0x54},
    {SDL_SCANCODE_U, 0x55}, {SDL_SCANCODE_V, 0x56}, {SDL_SCANCODE_W, 0x57}, {SDL_SCANCODE_X, 0x58},
    {SDL_SCANCODE_Y, 0x59}, {SDL_SCANCODE_Z, 0x5A},
    {SDL_SCANCODE_LGUI, vk::kLWin},
    {SDL_SCANCODE_RGUI, vk::kRWin},
    {SDL_SCANCODE_APPLICATION, vk::kApps},
    {SDL_SCANCODE_MENU, vk::kApps},
    {SDL_SCANCODE_SLEEP, 0x5F},
    {SDL_SCANCODE_KP_0, 0x60}, {SDL_SCANCODE_KP_1, 0x61}, {SDL_SCANCODE_KP_2, 0x62}, {SDL_SCANCODE_KP_3, 0x63},
    {SDL_SCANCODE_KP_4, 0x64}, {SDL_SCANCODE_KP_5, 0x65}, {SDL_SCANCODE_KP_6, 0x66}, {SDL_SCANCODE_KP_7, 0x67},
    {SDL_SCANCODE_KP_8, 0x68}, {SDL_SCANCODE_KP_9, 0x69},
    {SDL_SCANCODE_KP_MULTIPLY, vk::kMultiply},
    {SDL_SCANCODE_KP_PLUS, vk::kAdd},
    {SDL_SCANCODE_KP_COMMA, vk::kSeparator},
    {SDL_SCANCODE_KP_MINUS, vk::kSubtract},
    {SDL_SCANCODE_KP_PERIOD, vk::kDecimal},
    {SDL_SCANCODE_KP_DECIMAL, vk::kDecimal},
    {SDL_SCANCODE_KP_DIVIDE, vk::kDivide},
    {SDL_SCANCODE_F1, 0x70}, {SDL_SCANCODE_F2, 0x71}, {SDL_SCANCODE_F3, 0x72}, {SDL_SCANCODE_F4, 0x73},
    {SDL_SCANCODE_F5, 0x74}, {SDL_SCANCODE_F6, 0x75}, {SDL_SCANCODE_F7, 0x76}, {SDL_SCANCODE_F8, 0x77},
    {SDL_SCANCODE_F9, 0x78}, {SDL_SCANCODE_F10, 0x79}, {SDL_SCANCODE_F11, 0x7A}, {SDL_SCANCODE_F12, 0x7B},
    {SDL_SCANCODE_F13, 0x7C}, {SDL_SCANCODE_F14, 0x7D}, {SDL_SCANCODE_F15, 0x7E}, {SDL_SCANCODE_F16, 0x7F},
    {SDL_SCANCODE_F17, 0x80}, {SDL_SCANCODE_F18, 0x81}, {SDL_SCANCODE_F19, 0x82}, {SDL_SCANCODE_F20, 0x83},
    {SDL_SCANCODE_F21, 0x84}, {SDL_SCANCODE_F22, 0x85}, {SDL_SCANCODE_F23, 0x86}, {SDL_SCANCODE_F24, 0x87},
    {SDL_SCANCODE_NUMLOCKCLEAR, vk::kNumLock},
    {SDL_SCANCODE_SCROLLLOCK, vk::kScroll},
    {SDL_SCANCODE_AC_BACK, 0xA6},
    {SDL_SCANCODE_AC_FORWARD, 0xA7},
    {SDL_SCANCODE_AC_REFRESH, 0xA8},
    {SDL_SCANCODE_AC_STOP, 0xA9},
    {SDL_SCANCODE_AC_SEARCH, 0xAA},
    {SDL_SCANCODE_AC_BOOKMARKS, 0xAB},
    {SDL_SCANCODE_AC_HOME, 0xAC},
    {SDL_SCANCODE_AUDIOMUTE, 0xAD},
    {SDL_SCANCODE_MUTE, 0xAD},
    {SDL_SCANCODE_VOLUMEDOWN, 0xAE},
    {SDL_SCANCODE_VOLUMEUP, 0xAF},
    {SDL_SCANCODE_AUDIONEXT, 0xB0},
    {SDL_SCANCODE_AUDIOPREV, 0xB1},
    {SDL_SCANCODE_AUDIOSTOP, 0xB2},
    {SDL_SCANCODE_AUDIOPLAY, 0xB3},
    {SDL_SCANCODE_MAIL, 0xB4},
    {SDL_SCANCODE_MEDIASELECT, 0xB5},
    {SDL_SCANCODE_SEMICOLON, vk::kOem1},
    {SDL_SCANCODE_EQUALS, vk::kOemPlus},
    {SDL_SCANCODE_COMMA, vk::kOemComma},
    {SDL_SCANCODE_MINUS, vk::kOemMinus},
    {SDL_SCANCODE_PERIOD, vk::kOemPeriod},
    {SDL_SCANCODE_SLASH, vk::kOem2},
    {SDL_SCANCODE_GRAVE, vk::kOem3},
    {SDL_SCANCODE_LEFTBRACKET, vk::kOem4},
    {SDL_SCANCODE_BACKSLASH, vk::kOem5},
    {SDL_SCANCODE_NONUSHASH, vk::kOem5},
    {SDL_SCANCODE_RIGHTBRACKET, vk::kOem6},
    {SDL_SCANCODE_APOSTROPHE, vk::kOem7},
    {SDL_SCANCODE_NONUSBACKSLASH, vk::kOem102},
    {SDL_SCANCODE_INTERNATIONAL1, vk::kOem102},  // ろ "\_"
    {SDL_SCANCODE_INTERNATIONAL2, vk::kKana},    // カタカナ/ひらがな
    {SDL_SCANCODE_INTERNATIONAL3, vk::kOem5},    // yen
    {SDL_SCANCODE_INTERNATIONAL4, vk::kConvert},
    {SDL_SCANCODE_INTERNATIONAL5, vk::kNonConvert},
    {SDL_SCANCODE_LANG3, vk::kKana},
    {SDL_SCANCODE_LANG4, vk::kKana},
    // 半角/全角 alternates between two codes with the input method's state on
    // Windows; without an input method the one code that is always seen is kept.
    {SDL_SCANCODE_LANG5, vk::kKanji},
};
// clang-format on

// The JIS keys that differ from the US ones at the same position. 半角/全角
// sits where the US grave accent is.
constexpr TScanVk kJis[] = {
    {SDL_SCANCODE_GRAVE, vk::kKanji},       {SDL_SCANCODE_EQUALS, vk::kOem7},     {SDL_SCANCODE_LEFTBRACKET, vk::kOem3},
    {SDL_SCANCODE_RIGHTBRACKET, vk::kOem4}, {SDL_SCANCODE_BACKSLASH, vk::kOem6},  {SDL_SCANCODE_NONUSHASH, vk::kOem6},
    {SDL_SCANCODE_SEMICOLON, vk::kOemPlus}, {SDL_SCANCODE_APOSTROPHE, vk::kOem1},
};

// What the keypad keys mean with Num Lock off.
constexpr TScanVk kKeypadEditing[] = {
    {SDL_SCANCODE_KP_0, vk::kInsert}, {SDL_SCANCODE_KP_1, vk::kEnd},         {SDL_SCANCODE_KP_2, vk::kDown},
    {SDL_SCANCODE_KP_3, vk::kNext},   {SDL_SCANCODE_KP_4, vk::kLeft},        {SDL_SCANCODE_KP_5, vk::kClear},
    {SDL_SCANCODE_KP_6, vk::kRight},  {SDL_SCANCODE_KP_7, vk::kHome},        {SDL_SCANCODE_KP_8, vk::kUp},
    {SDL_SCANCODE_KP_9, vk::kPrior},  {SDL_SCANCODE_KP_PERIOD, vk::kDelete},
};

using TScanTable = std::array<uint8_t, SDL_NUM_SCANCODES>;

template <size_t N>
constexpr void Apply(TScanTable& table, const TScanVk (&entries)[N]) {
  for (const TScanVk& e : entries) table[static_cast<size_t>(e.scan)] = e.vk;
}

constexpr TScanTable MakeTable(bool jis, bool numLock) {
  TScanTable table{};
  Apply(table, kCommon);
  if (jis) Apply(table, kJis);
  if (!numLock) Apply(table, kKeypadEditing);
  return table;
}

// Indexed by [jis][num lock].
constexpr TScanTable kTables[2][2] = {{MakeTable(false, false), MakeTable(false, true)},
                                      {MakeTable(true, false), MakeTable(true, true)}};

}  // namespace

TKeyLayout DetectKeyLayout() {
  bool jis = SDL_GetKeyFromScancode(SDL_SCANCODE_APOSTROPHE) == SDLK_COLON ||
             SDL_GetKeyFromScancode(SDL_SCANCODE_EQUALS) == SDLK_CARET;
  return jis ? TKeyLayout::Jis : TKeyLayout::Us;
}

int SdlKeyToVk(SDL_Keycode key, SDL_Scancode scan, uint16_t mod, TKeyLayout layout) {
  if (key >= SDLK_a && key <= SDLK_z) return vk::kA + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return vk::k0 + (key - SDLK_0);
  if (scan < 0 || scan >= SDL_NUM_SCANCODES) return 0;
  if (layout == TKeyLayout::Detect) layout = DetectKeyLayout();
  bool jis = layout == TKeyLayout::Jis;
  bool num_lock = (mod & KMOD_NUM) != 0;
  return kTables[jis][num_lock][static_cast<size_t>(scan)];
}

}  // namespace kest
