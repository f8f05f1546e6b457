// The smallest world that draws: the game window (g_hWnd, whose client
// rectangle is the balls' cage) and an exclusive display (1024x768 unless
// asked otherwise) with its flipping chain, as the game sets it up.
#pragma once

#include <windows.h>

#include "support/bmp_file.h"
#include "testing/testing.h"

class CImages;

namespace hops_test {

// A whole surface's pixels as they are stored (16-bit values not widened).
platform::testing::Screen read_surface(IDirectDrawSurface7* surface);
platform::testing::Screen read_pixels(const platform::testing::SurfaceView& view);
// Sets every pixel of a surface to pixel(x, y).
void paint_surface(IDirectDrawSurface7* surface, const std::function<std::uint32_t(int x, int y)>& pixel);

// Registers a window class, creates the window, sets it as g_hWnd and returns it.
HWND make_game_window();

class TestDisplay {
 public:
  // 32 or 16 bits a pixel.
  explicit TestDisplay(DWORD bits = 32, int width = 1024, int height = 768);
  ~TestDisplay();

  IDirectDraw7* dd() const { return dd_; }
  IDirectDrawSurface7* primary() const { return primary_; }
  IDirectDrawSurface7* back() const { return back_; }

  platform::testing::Screen read() const { return read_surface(back_); }
  void fill(std::uint32_t value) {
    paint_surface(back_, [value](int, int) { return value; });
  }
  // An off-screen plain surface in system memory, made as the game makes
  // them (without a format, so of the display's depth) unless bits are
  // given; released with the display.
  IDirectDrawSurface7* plain(int width, int height, int bits = 0);
  // Writes a width x height BMP drawn by `pixel` and loads it into `image`
  // with the loader of the display's depth.
  bool load(CImages& image, int width, int height, const PixelFn& pixel);

 private:
  IDirectDraw7* dd_ = nullptr;
  IDirectDrawSurface7* primary_ = nullptr;
  IDirectDrawSurface7* back_ = nullptr;
  std::vector<IDirectDrawSurface7*> plain_;
  const DWORD bits_;
};

}  // namespace hops_test
