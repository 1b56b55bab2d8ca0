// SDL's key events as the virtual-key codes the scripts see.
#pragma once

#include <SDL_keyboard.h>

#include <cstdint>

namespace kest {

// Which physical layout the punctuation keys follow; Detect asks SDL's
// current keymap (a JIS map puts ":" right of ";").
enum class TKeyLayout { Detect, Us, Jis };

TKeyLayout DetectKeyLayout();

// The virtual-key code of a key event, 0 for a key without one. Letters and
// digits follow the keycode, so they obey the user's layout; other keys go by
// position. With mod lacking KMOD_NUM the keypad gives the editing and arrow
// keys printed on it, as it does when Num Lock is off.
int SdlKeyToVk(SDL_Keycode key, SDL_Scancode scan, uint16_t mod = KMOD_NUM, TKeyLayout layout = TKeyLayout::Detect);

}  // namespace kest
