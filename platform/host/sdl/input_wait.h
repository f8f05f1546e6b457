// A thread of the SDL2 host resting until the display has input for it or a
// moment comes. Under X it waits on the connection to the X server itself,
// to the microsecond, and wakes at the first byte the server sends; SDL's own
// wait counts whole milliseconds and reads the connection several times on
// the way in and out.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace platform {

// The descriptor of the connection to the X server showing `window`; -1 on
// another display (Wayland), where only SDL's own wait can be used.
int display_connection(SDL_Window* window);

// Waits until `connection` has something to read or `microseconds` have
// passed. True when it has, or when a signal ended the wait: the caller then
// takes SDL's events.
bool wait_for_input(int connection, std::int64_t microseconds);

}  // namespace platform
