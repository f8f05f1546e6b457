// The SDL2 host on SDL's dummy video driver (no display needed): its keys,
// its screenshots and its game pads.
#include "host/sdl_host.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <png.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/screenshot.h"
#include "host/sdl_gamepad.h"
#include "support/test_display.h"
#include "testing/testing.h"

namespace {

namespace fs = std::filesystem;

using Pixels = std::vector<std::uint32_t>;

// A PNG file's pixels as 0x00RRGGBB; none if it does not read.
Pixels ReadPng(const fs::path& path, int width, int height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return {};
  image.format = PNG_FORMAT_BGRA;
  Pixels pixels(image.width * image.height);
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) return {};
  EXPECT_EQ(std::vector<int>({static_cast<int>(image.width), static_cast<int>(image.height)}),
            std::vector<int>({width, height}));
  for (auto& pixel : pixels) pixel &= 0x00FFFFFFu;
  return pixels;
}

// Random pixels of a frame whose rows are pitch pixels apart.
Pixels Noise(int pitch, int height, unsigned seed) {
  std::mt19937 random(seed);
  Pixels pixels(static_cast<std::size_t>(pitch * height));
  for (auto& pixel : pixels) pixel = random() & 0x00FFFFFFu;
  return pixels;
}

// The key messages the game takes, as "down 20" and "up 25" (hex keys); the
// rest is dispatched.
std::string TakeKeys() {
  std::string keys;
  MSG msg;
  char sz[16];
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
      std::snprintf(sz, sizeof sz, "%s%s %02X", keys.empty() ? "" : ", ",
                    msg.message == WM_KEYDOWN ? "down" : "up", static_cast<unsigned>(msg.wParam));
      keys += sz;
    }
    DispatchMessageA(&msg);
  }
  return keys;
}

SDL_Event Key(Uint32 type, SDL_Keycode sym, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
  SDL_Event event{};
  event.key.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat;
  event.key.keysym.sym = sym;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
  event.key.keysym.mod = mod;
  return event;
}

// A PNG holds every pixel of a 32-bit frame, and of a 16-bit one its 5-6-5
// widened with the top bits repeated (white stays white); the fourth pixel
// of each 16-bit row lies past the frame's width. A missing folder fails.
TEST(Screenshot, PngHoldsEveryPixelOfTheFrame) {
  const fs::path folder = hops_test::make_temp_dir();
  const Pixels pixels = Noise(40, 5, 7);
  ASSERT_TRUE(platform::write_png({pixels.data(), 37, 5, 40 * 4, 32}, folder / "frame32.png"));
  Pixels picture;
  for (int y = 0; y < 5; ++y) picture.insert(picture.end(), &pixels[y * 40], &pixels[y * 40 + 37]);
  EXPECT_EQ(ReadPng(folder / "frame32.png", 37, 5), picture);
  const std::uint16_t pixels16[] = {0xF800, 0x07E0, 0x001F, 0xBEEF, 0xFFFF, 0x8410, 0x0821, 0xBEEF};
  ASSERT_TRUE(platform::write_png({pixels16, 3, 2, 8, 16}, folder / "frame16.png"));
  EXPECT_EQ(ReadPng(folder / "frame16.png", 3, 2),
            Pixels({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x848284, 0x080408}));
  EXPECT_FALSE(platform::write_png({pixels.data(), 37, 5, 40 * 4, 32}, folder / "missing" / "x.png"));
}

// Screenshots go to the pictures folder (else ~/Pictures, else here), named
// by the time and never overwriting one taken in the same second.
TEST(Screenshot, NamedByTheTimeAndNeverOverwritten) {
  const fs::path folder = hops_test::make_temp_dir();
  setenv("TZ", "UTC", 1);
  tzset();
  const std::time_t when = 1'700'000'000;  // 2023-11-14 22:13:20 UTC
  EXPECT_EQ(platform::screenshot_path(folder, when), folder / "hops-20231114-221320.png");
  std::fclose(std::fopen((folder / "hops-20231114-221320.png").c_str(), "w"));
  EXPECT_EQ(platform::screenshot_path(folder, when), folder / "hops-20231114-221320-2.png");

  setenv("XDG_PICTURES_DIR", folder.c_str(), 1);
  EXPECT_EQ(platform::screenshot_folder(), folder);
  setenv("XDG_PICTURES_DIR", (folder / "missing").c_str(), 1);
  setenv("HOME", folder.c_str(), 1);
  EXPECT_EQ(platform::screenshot_folder(), fs::path("."));
  fs::create_directory(folder / "Pictures");
  EXPECT_EQ(platform::screenshot_folder(), folder / "Pictures");
}

// Keys reach the game as WM_KEYDOWN/WM_KEYUP, but Alt+Enter and F11 switch
// between full screen and a window and F12 saves the last flipped frame:
// those are never seen, pressed, held or released, while the Alt around
// them is.
TEST(SdlHost, F11AltEnterAndF12NeverReachTheGame) {
  const fs::path folder = hops_test::make_temp_dir();
  setenv("XDG_PICTURES_DIR", folder.c_str(), 1);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  std::unique_ptr<platform::Host> sdl = platform::make_sdl_host();
  ASSERT_NE(sdl, nullptr) << SDL_GetError();
  platform::install_host(std::move(sdl));
  const HWND hwnd = hops_test::make_game_window();
  ShowWindow(hwnd, SW_SHOW);
  const Pixels older = Noise(1024, 768, 1), newest = Noise(1024, 768, 2);
  platform::host().present({older.data(), 1024, 768, 1024 * 4, 32});
  platform::host().present({newest.data(), 1024, 768, 1024 * 4, 32});
  SDL_Event events[] = {Key(SDL_KEYDOWN, SDLK_F11),
                        Key(SDL_KEYDOWN, SDLK_F11, KMOD_NONE, 1),
                        Key(SDL_KEYUP, SDLK_F11),
                        Key(SDL_KEYDOWN, SDLK_LALT, KMOD_LALT),
                        Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT),
                        Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT, 1),
                        Key(SDL_KEYUP, SDLK_LALT),
                        Key(SDL_KEYUP, SDLK_RETURN),
                        Key(SDL_KEYDOWN, SDLK_RETURN),
                        Key(SDL_KEYUP, SDLK_RETURN),
                        Key(SDL_KEYDOWN, SDLK_F12),
                        Key(SDL_KEYUP, SDLK_F12),
                        Key(SDL_KEYDOWN, SDLK_a)};
  for (SDL_Event& event : events) ASSERT_EQ(SDL_PushEvent(&event), 1);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(TakeKeys(), "down 12, up 12, down 0D, up 0D, down 41");
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(GetKeyState(VK_RETURN) & 0x8000, 0);
  EXPECT_EQ(GetKeyState(VK_MENU) & 0x8000, 0);

  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(said, "hops: screenshot saved to " + files[0].string() + "\n");
  EXPECT_TRUE(ReadPng(files[0], 1024, 768) == newest) << "the PNG is not the last frame";
  DestroyWindow(hwnd);
  platform::testing::reset();
}

// A virtual pad with the buttons and axes of SDL's standard controller, that
// SDL maps as a game controller, gives the keyboard's key messages.
TEST(SdlHost, PadsPressTheKeysOfTheKeyboard) {
  ASSERT_EQ(SDL_setenv("SDL_JOYSTICK_HIDAPI", "0", 1), 0);
  hops_test::make_game_window();  // hidden, so that no WM_PAINT comes between the keys
  platform::Gamepads pads;
  enum class Do { press, release, left_x, plug, unplug };
  constexpr int kDead = platform::Gamepads::kDeadZone;
  const struct {
    Do what;
    int value;  // an SDL_GameControllerButton or the stick's x
    const char* keys;
  } steps[] = {{Do::plug, 0, ""},
               {Do::press, SDL_CONTROLLER_BUTTON_A, "down 20"},
               {Do::release, SDL_CONTROLLER_BUTTON_A, "up 20"},
               {Do::press, SDL_CONTROLLER_BUTTON_DPAD_LEFT, "down 25"},
               {Do::left_x, -20000, ""},
               {Do::release, SDL_CONTROLLER_BUTTON_DPAD_LEFT, ""},
               {Do::left_x, -kDead, "up 25"},
               {Do::left_x, kDead + 1, "down 27"},
               {Do::left_x, -32768, "up 27, down 25"},
               {Do::left_x, 0, "up 25"},
               {Do::press, SDL_CONTROLLER_BUTTON_Y, ""},
               {Do::press, SDL_CONTROLLER_BUTTON_START, "down 53"},
               {Do::release, SDL_CONTROLLER_BUTTON_START, "up 53"},
               {Do::press, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, "down 27"},
               {Do::unplug, 0, "up 27"},
               {Do::plug, 0, ""},
               {Do::press, SDL_CONTROLLER_BUTTON_BACK, "down 1B"},
               {Do::release, SDL_CONTROLLER_BUTTON_BACK, "up 1B"}};
  int device = -1;
  SDL_Joystick* joystick = nullptr;
  for (const auto& step : steps) {
    if (step.what == Do::plug) {
      device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                         SDL_CONTROLLER_BUTTON_MAX, 0);
      joystick = SDL_JoystickOpen(device);
      ASSERT_NE(joystick, nullptr) << SDL_GetError();
    } else if (step.what == Do::unplug) {
      SDL_JoystickClose(joystick);
      ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0);
    } else if (step.what == Do::left_x) {
      ASSERT_EQ(
          SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(step.value)),
          0);
    } else {
      ASSERT_EQ(SDL_JoystickSetVirtualButton(joystick, step.value, step.what == Do::press ? 1 : 0), 0);
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) pads.handle(event);
    EXPECT_EQ(TakeKeys(), step.keys) << "step " << &step - steps;
  }
}

}  // namespace
