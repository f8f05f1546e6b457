#include "host/web/gamepads.h"

#include <emscripten/html5.h>
#include <windows.h>

#include <cstring>

namespace platform {
namespace {

// Buttons of the standard layout, by their index there.
enum StandardButton { kButtonA = 0, kButtonBack = 8, kButtonStart = 9, kDpadLeft = 14, kDpadRight = 15 };
constexpr double kStickLean = 1.0 / 3.0;

bool pressed(const EmscriptenGamepadEvent& pad, StandardButton button) {
  return button < pad.numButtons && pad.digitalButton[button] != 0;
}

}  // namespace

std::vector<int> gamepad_keys_held() {
  std::vector<int> held;
  if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return held;
  bool left = false, right = false, space = false, start = false, escape = false;
  for (int i = 0; i < emscripten_get_num_gamepads(); ++i) {
    EmscriptenGamepadEvent pad{};
    if (emscripten_get_gamepad_status(i, &pad) != EMSCRIPTEN_RESULT_SUCCESS || pad.connected == 0 ||
        std::strcmp(pad.mapping, "standard") != 0) {
      continue;
    }
    const double stick = pad.numAxes > 0 ? pad.axis[0] : 0.0;
    left = left || pressed(pad, kDpadLeft) || stick < -kStickLean;
    right = right || pressed(pad, kDpadRight) || stick > kStickLean;
    space = space || pressed(pad, kButtonA);
    start = start || pressed(pad, kButtonStart);
    escape = escape || pressed(pad, kButtonBack);
  }
  for (const auto& [key, down] :
       {std::pair{VK_LEFT, left}, std::pair{VK_RIGHT, right}, std::pair{VK_SPACE, space},
        std::pair{int{'S'}, start}, std::pair{VK_ESCAPE, escape}}) {
    if (down) held.push_back(key);
  }
  return held;
}

}  // namespace platform
