// The SDL2 host's keyboard on SDL's dummy display: keys reach the game as
// WM_KEYDOWN/WM_KEYUP, but Alt+Enter and F11 switch between full screen and
// a window and are never seen, pressed, held or released, while the Alt
// around them is.
#include "host/sdl_host.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "host/host.h"

namespace {

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

TEST(SdlHostKeys, AltEnterAndF11NeverReachTheGame) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  std::unique_ptr<platform::Host> sdl = platform::make_sdl_host();
  ASSERT_NE(sdl, nullptr);
  platform::install_host(std::move(sdl));
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "keys";
  RegisterClassA(&wc);
  const HWND hwnd = CreateWindowExA(0, "keys", "keys", WS_POPUP, 0, 0, 1024, 768, NULL, NULL, NULL, NULL);
  ShowWindow(hwnd, SW_SHOW);
  SDL_Event events[] = {
      Key(SDL_KEYDOWN, SDLK_F11),
      Key(SDL_KEYDOWN, SDLK_F11, KMOD_NONE, 1),
      Key(SDL_KEYUP, SDLK_F11),
      Key(SDL_KEYDOWN, SDLK_LALT, KMOD_LALT),
      Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT),
      Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT, 1),
      Key(SDL_KEYUP, SDLK_LALT),
      Key(SDL_KEYUP, SDLK_RETURN),
      Key(SDL_KEYDOWN, SDLK_RETURN),
      Key(SDL_KEYUP, SDLK_RETURN),
  };
  for (SDL_Event& event : events) ASSERT_EQ(SDL_PushEvent(&event), 1);
  std::vector<std::string> seen;
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
      seen.push_back((msg.message == WM_KEYDOWN ? "down " : "up ") + std::to_string(msg.wParam));
    }
    DispatchMessageA(&msg);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"down 18", "up 18", "down 13", "up 13"}));
  EXPECT_EQ(GetKeyState(VK_RETURN) & 0x8000, 0);
  EXPECT_EQ(GetKeyState(VK_MENU) & 0x8000, 0);
  DestroyWindow(hwnd);
}

}  // namespace
