#include "host/sdl/window.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "host/sdl/input_wait.h"
#include "kernel32/code_page.h"
#include "user32/input.h"

namespace platform {
namespace {

constexpr int kUnknownRefreshRate = 60;

std::string title_of(HWND hwnd) { return ansi_to_utf8(window_title(hwnd)); }

}  // namespace

bool GameWindow::open(HWND hwnd, int width, int height, bool windowed) {
  close();
  windowed_width_ = width;
  windowed_height_ = height;
  window_ = SDL_CreateWindow(title_of(hwnd).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                             height, SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
  if (window_ == nullptr) {
    std::fprintf(stderr, "hops: the game cannot be shown: SDL gives it no window (%s)\n", SDL_GetError());
    return false;
  }
  hwnd_ = hwnd;
  connection_ = display_connection(window_);
  if (!windowed) set_full_screen(true);
  SDL_ShowWindow(window_);
  SDL_ShowCursor(full_screen_ ? SDL_DISABLE : SDL_ENABLE);
  return true;
}

void GameWindow::close() {
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  window_ = nullptr;
  hwnd_ = nullptr;
  connection_ = -1;
  full_screen_ = false;
}

void GameWindow::set_full_screen(bool full) {
  if (full) {
    if (!full_screen_) SDL_GetWindowSize(window_, &windowed_width_, &windowed_height_);
    SDL_Rect screen{};
    if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &screen) == 0) {
      SDL_SetWindowPosition(window_, screen.x, screen.y);
      SDL_SetWindowSize(window_, screen.w, screen.h);
    }
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowSize(window_, windowed_width_, windowed_height_);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  full_screen_ = full;
  SDL_ShowCursor(full ? SDL_DISABLE : SDL_ENABLE);
}

void GameWindow::stand_for(HWND hwnd) {
  if (hwnd == hwnd_) return;
  SDL_SetWindowTitle(window_, title_of(hwnd).c_str());
  hwnd_ = hwnd;
}

int GameWindow::refresh_rate() const {
  SDL_DisplayMode mode{};
  return SDL_GetWindowDisplayMode(window_, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate
                                                                                : kUnknownRefreshRate;
}

}  // namespace platform
