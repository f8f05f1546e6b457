#include "host/host.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "host/headless_host.h"
#include "host/sdl_host.h"

namespace platform {
namespace {

constexpr char kHowToRunWithout[] =
    "start it from a desktop session (DISPLAY or WAYLAND_DISPLAY set), or run it without a window with "
    "HOPS_HOST=headless";

// The host outlives every static object: the game object is destroyed at
// process exit and releases its surfaces through it, so it is never
// destroyed itself (the process's end takes its window and memory).
std::unique_ptr<Host>& current() {
  static std::unique_ptr<Host>* s_host = new std::unique_ptr<Host>;
  return *s_host;
}

// SDL falls back on drivers that show nothing when no display answers; a
// game running there would play unseen.
bool shows_nothing(std::string_view video_driver) {
  return video_driver == "offscreen" || video_driver == "dummy" || video_driver == "evdev";
}

std::unique_ptr<Host> make_visible_sdl_host() {
  auto sdl = make_sdl_host();
  if (!sdl) {
    std::fprintf(stderr, "hops: no display to show the game on (SDL2: %s): %s\n", SDL_GetError(),
                 kHowToRunWithout);
    return nullptr;
  }
  const char* const driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || shows_nothing(driver)) {
    std::fprintf(stderr,
                 "hops: no display to show the game on (SDL2 found only its %s video driver, which shows "
                 "nothing): %s\n",
                 driver != nullptr ? driver : "no", kHowToRunWithout);
    return nullptr;
  }
  return sdl;
}

}  // namespace

bool start_host() {
  auto& slot = current();
  if (slot) return true;
  const char* const wanted = std::getenv("HOPS_HOST");
  const std::string_view name = wanted != nullptr ? wanted : "";
  if (name == "headless") {
    slot = std::make_unique<HeadlessHost>(false);
  } else if (name.empty() || name == "sdl") {
    slot = make_visible_sdl_host();
  } else {
    std::fprintf(stderr, "hops: HOPS_HOST=%s is not a host: use sdl (a window, the default) or headless\n",
                 wanted);
  }
  return slot != nullptr;
}

Host& host() {
  if (!start_host()) {
    // Reached only by programs that skip start_host; exit() would run the
    // game object's destructor, which comes back here.
    std::_Exit(EXIT_FAILURE);
  }
  return *current();
}

void install_host(std::unique_ptr<Host> replacement) { current() = std::move(replacement); }

}  // namespace platform
