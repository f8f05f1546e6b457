// The SDL2 host on SDL's dummy video driver (no display needed): its keys,
// its screenshots and its game pads.
#include "host/sdl/sdl_host.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <png.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "host/screenshot.h"
#include "host/sdl/gamepad.h"
#include "support/test_display.h"
#include "testing/testing.h"

namespace {

namespace fs = std::filesystem;

using Pixels = std::vector<std::uint32_t>;

// A PNG file's pixels as 0x00RRGGBB; none if it does not read as a picture
// of that size.
Pixels ReadPng(const fs::path& path, int width, int height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return {};
  image.format = PNG_FORMAT_BGRA;
  Pixels pixels(image.width * image.height);
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) return {};
  if (static_cast<int>(image.width) != width || static_cast<int>(image.height) != height) return {};
  for (auto& pixel : pixels) pixel &= 0x00FFFFFFu;
  return pixels;
}

// The key messages the game takes, each as " +20" pressed or " -25" released
// (hex keys); the rest is dispatched.
std::string TakeKeys() {
  std::string keys;
  MSG msg;
  for (char key[8]; PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); DispatchMessageA(&msg))
    if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP)
      keys.append(key, std::snprintf(key, sizeof key, " %c%02X", msg.message == WM_KEYDOWN ? '+' : '-',
                                     static_cast<unsigned>(msg.wParam)));
  return keys;
}

// Keys reach the game as WM_KEYDOWN/WM_KEYUP, but Alt+Enter and F11 switch
// between full screen and a window and F12 saves the last flipped frame, all
// of it, to the pictures folder: those are never seen, pressed, held or
// released, while the Alt around them is. A PNG holds every pixel of a
// 16-bit frame too, its 5-6-5 widened with the top bits repeated (white
// stays white); the fourth pixel of each row lies past the frame's width. A
// missing folder fails. Screenshots are named by the local time, never
// overwriting one taken in the same second.
TEST(SdlHost, F11AltEnterAndF12NeverReachTheGameAndF12SavesAPng) {
  const fs::path folder = hops_test::make_temp_dir();
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  platform::Settings settings;
  settings.pictures_folder = folder;
  std::unique_ptr<platform::Host> sdl = platform::make_sdl_host(settings);
  ASSERT_NE(sdl, nullptr) << SDL_GetError();
  platform::install_host(std::move(sdl));
  const HWND hwnd = hops_test::make_game_window();
  ShowWindow(hwnd, SW_SHOW);
  std::mt19937 random(2);
  Pixels older(1024 * 768, 0x808080), newest(1024 * 768);
  for (auto& pixel : newest) pixel = random() & 0x00FFFFFFu;
  platform::host().present({older.data(), 1024, 768, 1024 * 4, 32}, platform::ChangedArea::everything());
  platform::host().present({newest.data(), 1024, 768, 1024 * 4, 32}, platform::ChangedArea::everything());
  // Pressed or released, the key, with Alt held, a repeat.
  const std::tuple<bool, SDL_Keycode, bool, Uint8> keys[] = {
      {true, SDLK_F11, false, 0},     {true, SDLK_F11, false, 1},     {false, SDLK_F11, false, 0},
      {true, SDLK_LALT, true, 0},     {true, SDLK_RETURN, true, 0},   {true, SDLK_RETURN, true, 1},
      {false, SDLK_LALT, false, 0},   {false, SDLK_RETURN, false, 0}, {true, SDLK_RETURN, false, 0},
      {false, SDLK_RETURN, false, 0}, {true, SDLK_F12, false, 0},     {false, SDLK_F12, false, 0},
      {true, SDLK_a, false, 0}};
  for (const auto& [down, key, alt, repeat] : keys) {
    SDL_Event event{};
    event.key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat;
    const Uint16 mod = alt ? KMOD_LALT : KMOD_NONE;
    event.key.keysym = {SDL_GetScancodeFromKey(key), key, mod, 0};
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(TakeKeys(), " +12 -12 +0D -0D +41");
  const std::string said = ::testing::internal::GetCapturedStderr();

  const std::vector<fs::directory_entry> files(fs::directory_iterator(folder), {});
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(said, "hops: screenshot saved to " + files[0].path().string() + "\n");
  EXPECT_TRUE(ReadPng(files[0], 1024, 768) == newest) << "the PNG is not the last frame";

  setenv("TZ", "UTC", 1);
  tzset();
  const std::time_t when = 1'700'000'000;  // 2023-11-14 22:13:20 UTC
  const fs::path path = platform::screenshot_path(folder, when);
  ASSERT_EQ(path, folder / "hops-20231114-221320.png");
  std::uint16_t pixels[] = {0xF800, 0x07E0, 0x001F, 0xBEEF, 0xFFFF, 0x8410, 0x0821, 0xBEEF};
  ASSERT_TRUE(platform::write_png({pixels, 3, 2, 8, 16}, path));
  EXPECT_EQ(ReadPng(path, 3, 2), Pixels({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x848284, 0x080408}));
  EXPECT_EQ(platform::screenshot_path(folder, when), folder / "hops-20231114-221320-2.png");
  EXPECT_FALSE(platform::write_png({pixels, 3, 2, 8, 16}, folder / "missing" / "x.png"));
  DestroyWindow(hwnd);
  platform::testing::reset();
}

// A virtual pad with the buttons and axes of SDL's standard controller, that
// SDL maps as a game controller, gives the keyboard's key messages. Steps:
// "+a" and "-a" press and release a button by SDL's name, "x-20000" moves
// the left stick; beside each, the keys it gives.
TEST(SdlHost, PadsPressTheKeysOfTheKeyboard) {
  ASSERT_EQ(SDL_setenv("SDL_JOYSTICK_HIDAPI", "0", 1), 0);
  hops_test::make_game_window();  // hidden, so that no WM_PAINT comes between the keys
  platform::Gamepads pads;
  const std::pair<std::string, const char*> steps[] = {
      {"plug", ""},    {"+a", " +20"},      {"-a", " -20"},     {"+dpleft", " +25"},     {"x-20000", ""},
      {"-dpleft", ""}, {"x-12000", " -25"}, {"x12001", " +27"}, {"x-32768", " -27 +25"}, {"x0", " -25"},
      {"+y", ""},      {"+start", " +53"},  {"-start", " -53"}, {"+dpright", " +27"},    {"unplug", " -27"},
      {"plug", ""},    {"+back", " +1B"},   {"-back", " -1B"}};
  int device = -1;
  SDL_Joystick* joystick = nullptr;
  for (const auto& [step, keys] : steps) {
    if (step == "plug") {
      device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                         SDL_CONTROLLER_BUTTON_MAX, 0);
      joystick = SDL_JoystickOpen(device);
      ASSERT_NE(joystick, nullptr) << SDL_GetError();
    } else if (step == "unplug") {
      SDL_JoystickClose(joystick);
      ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0);
    } else if (step[0] == 'x') {
      const auto x = static_cast<Sint16>(std::stoi(step.substr(1)));
      ASSERT_EQ(SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, x), 0);
    } else {
      const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(step.c_str() + 1);
      ASSERT_EQ(SDL_JoystickSetVirtualButton(joystick, button, step[0] == '+'), 0) << step;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) pads.handle(event);
    EXPECT_EQ(TakeKeys(), keys) << step;
  }
}

}  // namespace
