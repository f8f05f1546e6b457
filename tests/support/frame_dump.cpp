// Writes a picture as a binary PPM, for comparison with a screenshot: the
// first frame the game's own WinMain flips on the headless host (the game is
// then quit with Esc), or, given a caption and a text (UTF-8), the picture
// the platform's MessageBoxA draws, printing the centre of its OK button.
//
// Usage: frame_dump <output.ppm>   (run from a folder holding IMG/)
//        frame_dump <output.ppm> <caption> <text>
#include <windows.h>

#include <cstdio>

#include "testing/testing.h"
#include "user32/message_box_picture.h"

namespace {

// The screen and the message box alike: width, height and 0x00RRGGBB pixels.
template <typename Picture>
bool WritePpm(const char* path, const Picture& picture) {
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", picture.width, picture.height);
  for (const std::uint32_t pixel : picture.pixels) {
    const unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16),
                                  static_cast<unsigned char>(pixel >> 8), static_cast<unsigned char>(pixel)};
    std::fwrite(rgb, 1, 3, file);
  }
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4) {
    const platform::MessageBoxPicture box = platform::draw_message_box(argv[2], argv[3]);
    const RECT& ok = box.ok_button;
    std::printf("%d %d\n", (ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    return WritePpm(argv[1], box) ? 0 : 1;
  }
  if (argc != 2) return 2;
  platform::testing::reset();
  platform::testing::set_counter_step(1000);
  bool written = false;
  platform::testing::on_flip([&](int flip) {
    if (flip != 1) return;
    written = WritePpm(argv[1], platform::testing::screen());
    platform::testing::press_key(VK_ESCAPE);
  });
  char command_line[] = "";
  const int result = WinMain(reinterpret_cast<HINSTANCE>(1), nullptr, command_line, SW_SHOWDEFAULT);
  if (!written) std::fprintf(stderr, "frame_dump: no frame was written\n");
  return written ? result : 1;
}
