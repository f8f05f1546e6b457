// Runs the game's own WinMain on the headless host and writes the first
// frame it flips as a binary PPM, then quits it with Esc. The Wine test
// compares that frame with a screenshot of the Windows build.
//
// Usage: frame_dump <output.ppm>   (run from a folder holding IMG/)
#include <windows.h>

#include <cstdio>

#include "testing/testing.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: frame_dump <output.ppm>\n");
    return 2;
  }
  const char* const output = argv[1];
  platform::testing::reset();
  platform::testing::set_counter_step(1000);
  bool written = false;
  platform::testing::on_flip([&](int flip) {
    if (flip != 1) return;
    const platform::testing::Screen screen = platform::testing::screen();
    FILE* file = std::fopen(output, "wb");
    if (file != nullptr) {
      std::fprintf(file, "P6\n%d %d\n255\n", screen.width, screen.height);
      for (const std::uint32_t pixel : screen.pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16),
                                      static_cast<unsigned char>(pixel >> 8),
                                      static_cast<unsigned char>(pixel)};
        std::fwrite(rgb, 1, 3, file);
      }
      written = std::fclose(file) == 0;
    }
    platform::testing::press_key(VK_ESCAPE);
  });
  char command_line[] = "";
  const int result = WinMain(reinterpret_cast<HINSTANCE>(1), nullptr, command_line, SW_SHOWDEFAULT);
  if (!written) {
    std::fprintf(stderr, "frame_dump: no frame was written\n");
    return 1;
  }
  return result;
}
