#include "host/sdl/keys.h"

#include <windows.h>

#include <algorithm>

namespace platform {

int virtual_key_of(const SDL_Keysym& key) {
  const SDL_Keycode sym = key.sym;
  if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + static_cast<int>(sym - SDLK_a);
  if (sym >= SDLK_0 && sym <= SDLK_9) return '0' + static_cast<int>(sym - SDLK_0);
  if (sym >= SDLK_F1 && sym <= SDLK_F12) return VK_F1 + static_cast<int>(sym - SDLK_F1);
  switch (sym) {
    case SDLK_ESCAPE:
      return VK_ESCAPE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return VK_RETURN;
    case SDLK_SPACE:
      return VK_SPACE;
    case SDLK_BACKSPACE:
      return VK_BACK;
    case SDLK_TAB:
      return VK_TAB;
    case SDLK_LEFT:
      return VK_LEFT;
    case SDLK_RIGHT:
      return VK_RIGHT;
    case SDLK_UP:
      return VK_UP;
    case SDLK_DOWN:
      return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
      return VK_MENU;
    case SDLK_CAPSLOCK:
      return VK_CAPITAL;
    case SDLK_PAUSE:
      return VK_PAUSE;
    case SDLK_PAGEUP:
      return VK_PRIOR;
    case SDLK_PAGEDOWN:
      return VK_NEXT;
    case SDLK_END:
      return VK_END;
    case SDLK_HOME:
      return VK_HOME;
    case SDLK_INSERT:
      return VK_INSERT;
    case SDLK_DELETE:
      return VK_DELETE;
    default:
      return 0;
  }
}

Keyboard::Use Keyboard::take(const SDL_KeyboardEvent& key) {
  const SDL_Keycode sym = key.keysym.sym;
  const auto held = std::find(held_.begin(), held_.end(), key.keysym.scancode);
  if (key.type == SDL_KEYUP) {
    if (sym == SDLK_F12) return Use::none;
    if (held == held_.end()) return Use::game;
    held_.erase(held);
    return Use::none;
  }
  if (sym == SDLK_F12) return key.repeat == 0 ? Use::screenshot : Use::none;
  const bool alt_enter = (sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT) != 0;
  if (sym != SDLK_F11 && !alt_enter && held == held_.end()) return Use::game;
  if (held == held_.end()) held_.push_back(key.keysym.scancode);
  return key.repeat == 0 ? Use::toggle_full_screen : Use::none;
}

}  // namespace platform
