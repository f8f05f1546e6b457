#include <SDL.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "host/sdl_gamepad.h"
#include "testing/testing.h"
#include "user32/input.h"

namespace {

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

// A hidden window has the keyboard; no WM_PAINT gets between the key messages.
void CreateKeyboardWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = "pad";
  RegisterClassA(&wc);
  CreateWindowExA(0, "pad", "pad", WS_POPUP, 0, 0, 1024, 768, NULL, NULL, NULL, NULL);
}

// One message as the game receives it, with the key state of the game's
// keys right after it was taken.
struct Seen {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  std::vector<SHORT> key_state;
  friend bool operator==(const Seen&, const Seen&) = default;
};

void TakeMessages(std::vector<Seen>& seen) {
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    std::vector<SHORT> state;
    for (const int key : {VK_LEFT, VK_RIGHT, VK_SPACE, int{'S'}, VK_ESCAPE})
      state.push_back(GetKeyState(key));
    seen.push_back({msg.message, msg.wParam, msg.lParam, state});
  }
}

// A virtual pad with the buttons and axes of SDL's standard controller, in
// its order, that SDL maps as a game controller.
int AttachPad() {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "virtual pad";
  return SDL_JoystickAttachVirtualEx(&desc);
}

enum class Do { button, left_x, plug, unplug };
struct Step {
  Do what;
  int button_or_value;  // an SDL_GameControllerButton held (+) or let go (-1 - button), or the stick's x
  std::vector<std::pair<int, bool>> keys;  // what the keyboard does for it
};

TEST(Gamepad, PadGivesTheMessagesAndKeyStateOfTheKeyboard) {
  ASSERT_EQ(SDL_setenv("SDL_JOYSTICK_HIDAPI", "0", 1), 0);
  CreateKeyboardWindow();
  platform::Gamepads pads;
  auto release = [](int button) { return -1 - button; };
  const Step steps[] = {
      {Do::plug, 0, {}},
      {Do::button, SDL_CONTROLLER_BUTTON_A, {{VK_SPACE, true}}},
      {Do::button, release(SDL_CONTROLLER_BUTTON_A), {{VK_SPACE, false}}},
      {Do::button, SDL_CONTROLLER_BUTTON_DPAD_LEFT, {{VK_LEFT, true}}},
      {Do::left_x, -20000, {}},
      {Do::button, release(SDL_CONTROLLER_BUTTON_DPAD_LEFT), {}},
      {Do::left_x, -platform::Gamepads::kDeadZone, {{VK_LEFT, false}}},
      {Do::left_x, platform::Gamepads::kDeadZone + 1, {{VK_RIGHT, true}}},
      {Do::left_x, -32768, {{VK_RIGHT, false}, {VK_LEFT, true}}},
      {Do::left_x, 0, {{VK_LEFT, false}}},
      {Do::button, SDL_CONTROLLER_BUTTON_Y, {}},
      {Do::button, SDL_CONTROLLER_BUTTON_START, {{'S', true}}},
      {Do::button, release(SDL_CONTROLLER_BUTTON_START), {{'S', false}}},
      {Do::button, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, {{VK_RIGHT, true}}},
      {Do::unplug, 0, {{VK_RIGHT, false}}},
      {Do::plug, 0, {}},
      {Do::button, SDL_CONTROLLER_BUTTON_BACK, {{VK_ESCAPE, true}}},
      {Do::button, release(SDL_CONTROLLER_BUTTON_BACK), {{VK_ESCAPE, false}}},
  };
  // The pad plays the steps first; then, from a fresh start, the keyboard.
  std::vector<std::vector<Seen>> from_pad;
  int device = -1;
  SDL_Joystick* joystick = nullptr;
  for (const Step& step : steps) {
    switch (step.what) {
      case Do::plug:
        device = AttachPad();
        ASSERT_GE(device, 0) << SDL_GetError();
        joystick = SDL_JoystickOpen(device);
        ASSERT_NE(joystick, nullptr) << SDL_GetError();
        break;
      case Do::unplug:
        SDL_JoystickClose(joystick);
        ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0);
        break;
      case Do::button: {
        const bool down = step.button_or_value >= 0;
        const int button = down ? step.button_or_value : -1 - step.button_or_value;
        ASSERT_EQ(SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0), 0);
        break;
      }
      case Do::left_x:
        ASSERT_EQ(SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX,
                                             static_cast<Sint16>(step.button_or_value)),
                  0);
        break;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) pads.handle(event);
    TakeMessages(from_pad.emplace_back());
  }

  platform::testing::reset();
  CreateKeyboardWindow();
  for (const Step& step : steps) {
    std::vector<Seen> from_keyboard;
    for (const auto& [key, down] : step.keys) platform::post_key(key, down);
    TakeMessages(from_keyboard);
    const auto index = static_cast<std::size_t>(&step - steps);
    EXPECT_EQ(from_pad[index], from_keyboard) << "step " << index;
  }
}

}  // namespace
