#include "support/test_display.h"

#include <cstring>
#include <stdexcept>

#include "game/main_game.h"

namespace hops_test {

HWND make_game_window() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "Test_Window";
  RegisterClassA(&wc);
  g_hWnd = CreateWindowExA(0, "Test_Window", "test", WS_POPUP, 0, 0, 1024, 768, nullptr, nullptr, nullptr, nullptr);
  if (g_hWnd == nullptr) throw std::runtime_error("CreateWindowExA failed");
  return g_hWnd;
}

TestDisplay::TestDisplay(DWORD bits) : bytes_per_pixel_(static_cast<int>(bits / 8)) {
  make_game_window();
  if (DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&dd_), IID_IDirectDraw7, nullptr) != DD_OK ||
      dd_->SetCooperativeLevel(g_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK ||
      dd_->SetDisplayMode(1024, 768, bits, 0, 0) != DD_OK) {
    throw std::runtime_error("display set-up failed");
  }
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  ddsd.dwWidth = 1024;
  ddsd.dwHeight = 768;
  if (dd_->CreateSurface(&ddsd, &dest_, nullptr) != DD_OK) throw std::runtime_error("CreateSurface failed");
}

TestDisplay::~TestDisplay() {
  if (dest_ != nullptr) dest_->Release();
  if (dd_ != nullptr) dd_->Release();
}

std::vector<std::uint32_t> TestDisplay::read() const {
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  if (dest_->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr) != DD_OK) throw std::runtime_error("Lock failed");
  std::vector<std::uint32_t> pixels(1024u * 768u);
  const auto* bytes = static_cast<const std::uint8_t*>(ddsd.lpSurface);
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) {
      std::uint32_t value = 0;
      std::memcpy(&value, bytes + static_cast<std::ptrdiff_t>(y) * ddsd.lPitch + x * bytes_per_pixel_,
                  static_cast<std::size_t>(bytes_per_pixel_));
      pixels[static_cast<std::size_t>(y) * 1024 + x] = value;
    }
  }
  dest_->Unlock(nullptr);
  return pixels;
}

std::uint32_t TestDisplay::at(int x, int y) const { return read()[static_cast<std::size_t>(y) * 1024 + x]; }

void TestDisplay::fill(std::uint32_t value) {
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  if (dest_->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr) != DD_OK) throw std::runtime_error("Lock failed");
  auto* bytes = static_cast<std::uint8_t*>(ddsd.lpSurface);
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) {
      std::memcpy(bytes + static_cast<std::ptrdiff_t>(y) * ddsd.lPitch + x * bytes_per_pixel_, &value,
                  static_cast<std::size_t>(bytes_per_pixel_));
    }
  }
  dest_->Unlock(nullptr);
}

}  // namespace hops_test
