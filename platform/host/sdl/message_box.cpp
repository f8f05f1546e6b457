#include "host/sdl/message_box.h"

#include <utility>
#include <vector>

#include "user32/message_box_picture.h"

namespace platform {
namespace {

bool closes_box(SDL_Keycode key) {
  return key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_SPACE || key == SDLK_ESCAPE;
}

bool inside(const RECT& rect, int x, int y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// The picture is 0x00RRGGBB, SDL's RGB888; the window's surface may be
// in any format SDL converts to.
void paint(SDL_Window* window, const MessageBoxPicture& picture) {
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (surface == nullptr) return;
  SDL_LockSurface(surface);
  SDL_ConvertPixels(picture.width, picture.height, SDL_PIXELFORMAT_RGB888, picture.pixels.data(),
                    picture.width * 4, surface->format->format, surface->pixels, surface->pitch);
  SDL_UnlockSurface(surface);
  SDL_UpdateWindowSurface(window);
}

SDL_Point box_position(const MessageBoxPicture& picture, SDL_Window* owner) {
  if (owner == nullptr)
    return {static_cast<int>(SDL_WINDOWPOS_CENTERED), static_cast<int>(SDL_WINDOWPOS_CENTERED)};
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  SDL_GetWindowPosition(owner, &x, &y);
  SDL_GetWindowSize(owner, &width, &height);
  return {x + (width - picture.width) / 2, y + (height - picture.height) / 2};
}

// The box's side of the events while it is up. A key closes it when let go,
// so that neither its release nor its repeats reach the game.
class ModalBox {
 public:
  ModalBox(SDL_Window* window, const MessageBoxPicture& picture)
      : window_(window), id_(SDL_GetWindowID(window)), picture_(picture) {}

  // False once the event dismisses the box.
  bool handle(const SDL_Event& event) {
    switch (event.type) {
      case SDL_KEYDOWN:
        if (event.key.repeat == 0 && closes_box(event.key.keysym.sym)) armed_key_ = event.key.keysym.sym;
        return true;
      case SDL_KEYUP:
        if (armed_key_ != SDLK_UNKNOWN && event.key.keysym.sym == armed_key_) return false;
        for_the_game_.push_back(event);
        return true;
      case SDL_MOUSEBUTTONDOWN:
        armed_click_ = on_ok(event.button);
        return true;
      case SDL_MOUSEBUTTONUP:
        return !(std::exchange(armed_click_, false) && on_ok(event.button));
      case SDL_QUIT:
        for_the_game_.push_back(event);
        return false;
      case SDL_WINDOWEVENT:
        return handle_window_event(event);
      default:
        return true;
    }
  }

  // What belongs to the game (its window's events, a request to quit, keys
  // let go) goes back into SDL's queue once the box has gone.
  void hand_back() {
    for (SDL_Event& event : for_the_game_) SDL_PushEvent(&event);
  }

 private:
  bool on_ok(const SDL_MouseButtonEvent& button) const {
    return button.windowID == id_ && button.button == SDL_BUTTON_LEFT &&
           inside(picture_.ok_button, button.x, button.y);
  }

  bool handle_window_event(const SDL_Event& event) {
    if (event.window.windowID != id_) {
      for_the_game_.push_back(event);
      return true;
    }
    if (event.window.event == SDL_WINDOWEVENT_EXPOSED) paint(window_, picture_);
    return event.window.event != SDL_WINDOWEVENT_CLOSE;
  }

  SDL_Window* window_;
  Uint32 id_;
  const MessageBoxPicture& picture_;
  SDL_Keycode armed_key_ = SDLK_UNKNOWN;
  bool armed_click_ = false;
  std::vector<SDL_Event> for_the_game_;
};

}  // namespace

void run_sdl_message_box(const std::string& text, const std::string& caption, SDL_Window* owner) {
  const MessageBoxPicture picture = draw_message_box(caption, text);
  const SDL_Point at = box_position(picture, owner);
  // Borderless: the caption band is part of the picture, drawn in a font
  // that has Hangul whatever the window manager's title font lacks.
  SDL_Window* window = SDL_CreateWindow(caption.c_str(), at.x, at.y, picture.width, picture.height,
                                        SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP);
  if (window == nullptr) return;
  if (owner != nullptr) SDL_SetWindowModalFor(window, owner);
  SDL_RaiseWindow(window);
  paint(window, picture);

  ModalBox box(window, picture);
  SDL_Event event;
  while (SDL_WaitEvent(&event) != 0 && box.handle(event)) {
  }
  SDL_DestroyWindow(window);
  // Without a window manager the keyboard would stay with the box that is gone.
  if (owner != nullptr) SDL_SetWindowInputFocus(owner);
  box.hand_back();
}

}  // namespace platform
