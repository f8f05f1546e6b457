// The game's window on the SDL2 host: desktop full screen, the monitor's
// mode never changed, or a resizable window of the size it last had; the
// pointer shows only over a window.
#pragma once

#include <SDL.h>
#include <windows.h>

namespace platform {

class GameWindow {
 public:
  GameWindow() = default;
  ~GameWindow() { close(); }
  GameWindow(const GameWindow&) = delete;
  GameWindow& operator=(const GameWindow&) = delete;

  // Opens the window shown for hwnd, titled as it is: full screen, or a
  // window of width x height when `windowed`. False, the reason on
  // standard error, when SDL gives none.
  bool open(HWND hwnd, int width, int height, bool windowed);
  void close();
  // Full screen covers the whole screen the window is on, whatever a window
  // manager grants (without one, SDL's own full screen keeps the window's
  // size).
  void set_full_screen(bool full);
  void toggle_full_screen() { set_full_screen(!full_screen_); }
  // The window now stands for hwnd, and takes its title.
  void stand_for(HWND hwnd);

  bool is_open() const { return window_ != nullptr; }
  SDL_Window* sdl() const { return window_; }
  HWND hwnd() const { return hwnd_; }
  bool owns(Uint32 window_id) const { return window_ != nullptr && window_id == SDL_GetWindowID(window_); }
  // The descriptor of the window's connection to the X server; -1 on
  // another display.
  int connection() const { return connection_; }
  // Refreshes a second of the display the window is on; 60 when it does not say.
  int refresh_rate() const;

 private:
  SDL_Window* window_ = nullptr;
  HWND hwnd_ = nullptr;
  int connection_ = -1;
  bool full_screen_ = false;
  int windowed_width_ = 0;
  int windowed_height_ = 0;
};

}  // namespace platform
