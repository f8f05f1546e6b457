// The SDL2 host: one window (desktop full screen, or 1024 x 768 windowed)
// showing the newest flipped frame once per display refresh (every frame,
// waiting for the refresh, with vsync), keys and gamepads as
// WM_KEYDOWN/WM_KEYUP, modal message boxes.
#pragma once

#include <memory>

#include "host/host.h"

namespace platform {

// The host on whatever video driver SDL starts, even one that shows
// nothing (the tests' and benchmarks' dummy driver); null when SDL's video
// does not start.
std::unique_ptr<Host> make_sdl_host(const Settings& settings);

}  // namespace platform
