// Kept apart from the rest of the host: X's headers define names (Bool,
// Status, None) that the platform's own headers use otherwise.
#include "host/sdl/input_wait.h"

#include <SDL_syswm.h>
#include <poll.h>

namespace platform {

int display_connection(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE) return -1;
#if defined(SDL_VIDEO_DRIVER_X11)
  if (info.subsystem == SDL_SYSWM_X11) return ConnectionNumber(info.info.x11.display);
#endif
  return -1;
}

bool wait_for_input(int connection, std::int64_t microseconds) {
  pollfd watched{connection, POLLIN, 0};
  const timespec timeout{static_cast<time_t>(microseconds / 1'000'000),
                         static_cast<long>(microseconds % 1'000'000 * 1000)};
  return ppoll(&watched, 1, &timeout, nullptr) != 0;
}

}  // namespace platform
