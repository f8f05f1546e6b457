#include "support/test_display.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "game/main_game.h"
#include "gfx/images.h"

namespace hops_test {

HWND make_game_window() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "Test_Window";
  RegisterClassA(&wc);
  g_hWnd = CreateWindowExA(0, "Test_Window", "test", WS_POPUP, 0, 0, 1024, 768, nullptr, nullptr, nullptr,
                           nullptr);
  if (g_hWnd == nullptr) throw std::runtime_error("CreateWindowExA failed");
  return g_hWnd;
}

TestDisplay::TestDisplay(DWORD bits) : bits_(bits) {
  make_game_window();
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  ddsd.dwBackBufferCount = 1;
  DDSCAPS2 caps{};
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  if (DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&dd_), IID_IDirectDraw7, nullptr) != DD_OK ||
      dd_->SetCooperativeLevel(g_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK ||
      dd_->SetDisplayMode(1024, 768, bits, 0, 0) != DD_OK ||
      dd_->CreateSurface(&ddsd, &primary_, nullptr) != DD_OK ||
      primary_->GetAttachedSurface(&caps, &back_) != DD_OK) {
    throw std::runtime_error("display set-up failed");
  }
}

TestDisplay::~TestDisplay() {
  if (back_ != nullptr) back_->Release();
  if (primary_ != nullptr) primary_->Release();
  if (dd_ != nullptr) dd_->Release();
}

platform::testing::Screen TestDisplay::read() const {
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  if (back_->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr) != DD_OK) throw std::runtime_error("Lock failed");
  platform::testing::Screen screen{1024, 768, std::vector<std::uint32_t>(1024u * 768u)};
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) {
      std::memcpy(&screen.pixels[static_cast<std::size_t>(y) * 1024 + x],
                  static_cast<const std::uint8_t*>(ddsd.lpSurface) + y * ddsd.lPitch + x * (bits_ / 8),
                  bits_ / 8);
    }
  }
  back_->Unlock(nullptr);
  return screen;
}

void TestDisplay::fill(std::uint32_t value) {
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  if (back_->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr) != DD_OK) throw std::runtime_error("Lock failed");
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) {
      std::memcpy(static_cast<std::uint8_t*>(ddsd.lpSurface) + y * ddsd.lPitch + x * (bits_ / 8), &value,
                  bits_ / 8);
    }
  }
  back_->Unlock(nullptr);
}

bool TestDisplay::load(CImages& image, int width, int height, const PixelFn& pixel) {
  const std::string path = write_bmp(make_temp_dir(), "picture.bmp", width, height, pixel);
  return bits_ == 16 ? image.LoadBitmap16(dd_, path.c_str()) : image.LoadBitmap32(dd_, path.c_str());
}

}  // namespace hops_test
