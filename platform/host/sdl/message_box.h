// MessageBoxA on the SDL2 host: the platform's own box (user32's picture,
// Hangul in the system font), modal, in a small window of its own.
#pragma once

#include <SDL.h>

#include <string>

namespace platform {

// Shows the box centred over owner (the game's window; null before it is
// shown: centred on the screen) and returns when Enter, Space, Esc, a click
// on OK or closing the box dismisses it. Keys pressed meanwhile never reach
// the game. Returns at once when SDL gives no window for it.
void run_sdl_message_box(const std::string& text, const std::string& caption, SDL_Window* owner);

}  // namespace platform
