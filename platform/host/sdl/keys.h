// The keyboard on the SDL2 host: SDL's keys as Windows' virtual keys, and
// the keys the platform keeps for itself, which the game never sees, down,
// held or up: Alt+Enter and F11 switch between full screen and a window,
// F12 saves a screenshot.
#pragma once

#include <SDL.h>

#include <vector>

namespace platform {

// The Windows virtual key of an SDL key; letters and digits by the symbol
// they carry under the user's layout, as Windows assigns them. 0 for a key
// the platform does not know.
int virtual_key_of(const SDL_Keysym& key);

class Keyboard {
 public:
  enum class Use { game, toggle_full_screen, screenshot, none };

  // What a key event is for: the game's (as virtual_key_of says), a
  // platform key pressed (once, not on its repeats), or nothing (a platform
  // key's repeat or release).
  Use take(const SDL_KeyboardEvent& key);

 private:
  // Platform keys pressed, whose release the game must not see either.
  std::vector<SDL_Scancode> held_;
};

}  // namespace platform
