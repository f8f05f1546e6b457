#include "host/sdl/gamepad.h"

#include <windows.h>

#include <cstdio>

#include "user32/input.h"

namespace platform {
namespace {

constexpr std::size_t kLeft = 0;
constexpr std::size_t kRight = 1;
constexpr std::size_t kSpace = 2;
constexpr std::size_t kStart = 3;
constexpr std::size_t kEscape = 4;
constexpr std::size_t kNoKey = 5;
constexpr std::array<int, kNoKey> kVirtualKeys{VK_LEFT, VK_RIGHT, VK_SPACE, 'S', VK_ESCAPE};

std::size_t key_of_button(Uint8 button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return kLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return kRight;
    case SDL_CONTROLLER_BUTTON_A:
      return kSpace;
    case SDL_CONTROLLER_BUTTON_START:
      return kStart;
    case SDL_CONTROLLER_BUTTON_BACK:
      return kEscape;
    default:
      return kNoKey;
  }
}

}  // namespace

Gamepads::Gamepads() { started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0; }

Gamepads::~Gamepads() {
  if (!started_) return;
  for (auto& [id, pad] : pads_) SDL_GameControllerClose(pad.controller);
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool Gamepads::handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      open(event.cdevice.which);
      return true;
    case SDL_CONTROLLERDEVICEREMOVED:
      close(event.cdevice.which);
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      const std::size_t key = key_of_button(event.cbutton.button);
      if (key != kNoKey) hold(event.cbutton.which, key, kButton, event.type == SDL_CONTROLLERBUTTONDOWN);
      return true;
    }
    case SDL_CONTROLLERAXISMOTION:
      if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
        // A stick swung across lets go of one side before it leans on the other.
        const bool left = event.caxis.value < -kDeadZone;
        const bool right = event.caxis.value > kDeadZone;
        if (left) hold(event.caxis.which, kRight, kStick, false);
        hold(event.caxis.which, kLeft, kStick, left);
        hold(event.caxis.which, kRight, kStick, right);
      }
      return true;
    default:
      return false;
  }
}

void Gamepads::open(int device_index) {
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device_index);
  if (id < 0 || pads_.contains(id)) return;
  SDL_GameController* const controller = SDL_GameControllerOpen(device_index);
  if (controller == nullptr) {
    std::fprintf(stderr, "hops: gamepad %d cannot be opened: %s\n", device_index, SDL_GetError());
    return;
  }
  pads_[id].controller = controller;
}

void Gamepads::close(SDL_JoystickID id) {
  const auto pad = pads_.find(id);
  if (pad == pads_.end()) return;
  // A pad pulled out with a key held lets go of it, as a released key would.
  for (std::size_t key = 0; key < kKeyCount; ++key) {
    hold(id, key, kButton, false);
    hold(id, key, kStick, false);
  }
  SDL_GameControllerClose(pad->second.controller);
  pads_.erase(pad);
}

void Gamepads::hold(SDL_JoystickID id, std::size_t key, Source source, bool on) {
  const auto pad = pads_.find(id);
  if (pad == pads_.end()) return;
  const bool was_down = held_by_any(key);
  unsigned& held = pad->second.held[key];
  held = on ? (held | source) : (held & ~static_cast<unsigned>(source));
  const bool down = held_by_any(key);
  if (down != was_down) post_key(kVirtualKeys[key], down);
}

bool Gamepads::held_by_any(std::size_t key) const {
  for (const auto& [id, pad] : pads_) {
    if (pad.held[key] != 0) return true;
  }
  return false;
}

}  // namespace platform
