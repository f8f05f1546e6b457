// Writes the picture the platform's MessageBoxA draws for a caption and a
// text (UTF-8) as a binary PPM, for comparison with a screenshot, and prints
// the centre of its OK button ("x y") for a click.
//
// Usage: message_box_dump <caption> <text> <output.ppm>
#include <cstdio>

#include "user32/message_box_picture.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: message_box_dump <caption> <text> <output.ppm>\n");
    return 2;
  }
  const platform::MessageBoxPicture picture = platform::draw_message_box(argv[1], argv[2]);
  FILE* file = std::fopen(argv[3], "wb");
  if (file == nullptr) return 1;
  std::fprintf(file, "P6\n%d %d\n255\n", picture.width, picture.height);
  for (const std::uint32_t pixel : picture.pixels) {
    const unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16),
                                  static_cast<unsigned char>(pixel >> 8), static_cast<unsigned char>(pixel)};
    std::fwrite(rgb, 1, 3, file);
  }
  if (std::fclose(file) != 0) return 1;
  const RECT& ok = picture.ok_button;
  std::printf("%d %d\n", static_cast<int>((ok.left + ok.right) / 2),
              static_cast<int>((ok.top + ok.bottom) / 2));
  return 0;
}
