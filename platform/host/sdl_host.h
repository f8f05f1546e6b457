// The SDL2 host: one window (desktop full screen, or 1024 x 768 windowed when
// HOPS_WINDOWED=1) showing the newest flipped frame once per display refresh
// (every frame, waiting for the refresh, when HOPS_VSYNC=1), keys as
// WM_KEYDOWN/WM_KEYUP, modal message boxes.
#pragma once

#include <memory>

#include "host/host.h"

namespace platform {

// Returns null when SDL's video cannot start (no display).
std::unique_ptr<Host> make_sdl_host();

}  // namespace platform
