// Feeds arbitrary bytes to the picture loaders as a BMP file, then draws,
// stretches and blends whatever loaded, on the headless platform.
#include <ddraw.h>
#include <unistd.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gfx/images.h"
#include "testing/testing.h"

namespace {

struct Display {
  IDirectDraw7* dd = nullptr;
  IDirectDrawSurface7* primary = nullptr;
  IDirectDrawSurface7* back = nullptr;
  std::string path;
};

Display& display() {
  static Display s_display = [] {
    Display d;
    platform::testing::reset();
    char folder[] = "hops_fuzz_XXXXXX";  // in the working directory the fuzz run gives us
    if (mkdtemp(folder) == nullptr) std::abort();
    d.path = std::string(folder) + "/input.bmp";
    if (DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&d.dd), IID_IDirectDraw7, nullptr) != DD_OK)
      std::abort();
    d.dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    ddsd.dwWidth = 1024;
    ddsd.dwHeight = 768;
    if (d.dd->CreateSurface(&ddsd, &d.back, nullptr) != DD_OK) std::abort();
    return d;
  }();
  return s_display;
}

void Exercise(CImages& image, IDirectDrawSurface7* back) {
  image.Draw(back, 0, 0);
  image.Draw(back, 1000, 700);
  image.DrawScaled(back, 10, 20, 0.5f);
  image.DrawScaled(back, 0, 0, (float)(18.0 / 150.0));
  image.DrawScaled(back, 100, 100, 2.0f);
  image.Blend(back);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Display& d = display();
  // Most inputs are refused with a box; a run of millions keeps none of them.
  platform::testing::clear_message_boxes();
  FILE* file = std::fopen(d.path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  {
    CImages image32;
    if (image32.LoadBitmap32(d.dd, d.path.c_str())) Exercise(image32, d.back);
  }
  {
    CImages image16;
    if (image16.LoadBitmap16(d.dd, d.path.c_str())) Exercise(image16, d.back);
  }
  return 0;
}
