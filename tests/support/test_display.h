// A game window and an exclusive 1024x768 DirectDraw display for tests that
// draw, with a screen-sized plain surface to draw on and read back.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <vector>

namespace hops_test {

// Registers a window class, creates the window (set as g_hWnd, so that its
// client rectangle is the balls' cage) and returns it.
HWND make_game_window();

class TestDisplay {
 public:
  // 32 or 16 bits a pixel. Creates the window too.
  explicit TestDisplay(DWORD bits = 32);
  ~TestDisplay();
  TestDisplay(const TestDisplay&) = delete;
  TestDisplay& operator=(const TestDisplay&) = delete;

  IDirectDraw7* dd() const { return dd_; }
  IDirectDrawSurface7* dest() const { return dest_; }

  // The destination's pixels, row by row, 1024 a row (16-bit values widened
  // to 32 bits as they are, not converted).
  std::vector<std::uint32_t> read() const;
  std::uint32_t at(int x, int y) const;
  void fill(std::uint32_t value);

 private:
  IDirectDraw7* dd_ = nullptr;
  IDirectDrawSurface7* dest_ = nullptr;
  int bytes_per_pixel_ = 4;
};

}  // namespace hops_test
