#include "support/test_display.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "game/main_game.h"
#include "gfx/images.h"

namespace hops_test {

platform::testing::Screen read_surface(IDirectDrawSurface7* surface) {
  return read_pixels(platform::testing::surface_view(surface));
}

platform::testing::Screen read_pixels(const platform::testing::SurfaceView& view) {
  platform::testing::Screen screen{view.width, view.height, {}};
  for (int y = 0; y < view.height; ++y)
    for (int x = 0; x < view.width; ++x) screen.pixels.push_back(view.at(x, y));
  return screen;
}

void paint_surface(IDirectDrawSurface7* surface, const std::function<std::uint32_t(int x, int y)>& pixel) {
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  if (surface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr) != DD_OK) throw std::runtime_error("Lock failed");
  const int bytes = static_cast<int>(ddsd.ddpfPixelFormat.dwRGBBitCount / 8);
  for (int y = 0; y < static_cast<int>(ddsd.dwHeight); ++y)
    for (int x = 0; x < static_cast<int>(ddsd.dwWidth); ++x) {
      const std::uint32_t value = pixel(x, y);
      std::memcpy(static_cast<std::uint8_t*>(ddsd.lpSurface) + y * ddsd.lPitch + x * bytes, &value, bytes);
    }
  surface->Unlock(nullptr);
}

HWND make_game_window() {
  const WNDCLASSA wc{0, DefWindowProcA, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "Test_Window"};
  RegisterClassA(&wc);
  g_hWnd = CreateWindowExA(0, "Test_Window", "test", WS_POPUP, 0, 0, 1024, 768, nullptr, nullptr, nullptr,
                           nullptr);
  if (g_hWnd == nullptr) throw std::runtime_error("CreateWindowExA failed");
  return g_hWnd;
}

TestDisplay::TestDisplay(DWORD bits, int width, int height) : bits_(bits) {
  make_game_window();
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  ddsd.dwBackBufferCount = 1;
  ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, {0}};
  if (DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&dd_), IID_IDirectDraw7, nullptr) != DD_OK ||
      dd_->SetCooperativeLevel(g_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK ||
      dd_->SetDisplayMode(static_cast<DWORD>(width), static_cast<DWORD>(height), bits, 0, 0) != DD_OK ||
      dd_->CreateSurface(&ddsd, &primary_, nullptr) != DD_OK ||
      primary_->GetAttachedSurface(&caps, &back_) != DD_OK)
    throw std::runtime_error("display set-up failed");
}

TestDisplay::~TestDisplay() {
  for (IDirectDrawSurface7* surface : plain_) surface->Release();
  back_->Release();
  primary_->Release();
  dd_->Release();
}

IDirectDrawSurface7* TestDisplay::plain(int width, int height, int bits) {
  DDSURFACEDESC2 ddsd =
      platform::testing::plain_surface_description(width, height, bits, DDSCAPS_SYSTEMMEMORY);
  if (bits == 0) ddsd.dwFlags &= ~static_cast<DWORD>(DDSD_PIXELFORMAT);
  IDirectDrawSurface7* surface = nullptr;
  if (dd_->CreateSurface(&ddsd, &surface, nullptr) != DD_OK) throw std::runtime_error("CreateSurface failed");
  plain_.push_back(surface);
  return surface;
}

bool TestDisplay::load(CImages& image, int width, int height, const PixelFn& pixel) {
  const std::string path = write_file(make_temp_dir(), "picture.bmp", bmp_bytes(width, height, pixel));
  return bits_ == 16 ? image.LoadBitmap16(dd_, path.c_str()) : image.LoadBitmap32(dd_, path.c_str());
}

}  // namespace hops_test
