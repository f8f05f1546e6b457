#include "support/game_pictures.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "support/bmp_file.h"

namespace hops_test {

void enter_game_folder(bool pictures) {
  const std::string folder = make_temp_dir();
  if (chdir(folder.c_str()) != 0 || (pictures && mkdir("IMG", 0755) != 0)) throw std::runtime_error(folder);
  if (!pictures) return;
  const auto solid = [](std::uint32_t c) {
    return [c](int, int) { return Rgb{std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)}; };
  };
  const Rgb kKey{255, 0, 255};
  write_bmp("IMG", "IMG_BACK.bmp", 1024, 768, solid(kBackColour));
  write_bmp("IMG", "IMG_BACKGROUND.bmp", 1024, 768, solid(kFieldColour));
  write_bmp("IMG", "IMG_ENDING.bmp", 1024, 768, solid(kEndingColour));
  write_bmp("IMG", "IMG_LOADING.bmp", 1024, 768, [&](int x, int y) {
    const bool hole = x >= kLoadingHoleLeft && x < kLoadingHoleLeft + kLoadingHoleSize &&
                      y >= kLoadingHoleTop && y < kLoadingHoleTop + kLoadingHoleSize;
    return hole ? kKey : solid(kLoadingColour)(x, y);
  });
  write_bmp("IMG", "IMG_PLAYER.bmp", 91, 150, solid(kPlayerColour));
  write_bmp("IMG", "IMG_BULLET.bmp", 16, 32, solid(kBulletColour));
  write_bmp("IMG", "IMG_BALL.bmp", 300, 300, [&](int x, int y) {
    const int dx = 2 * x + 1 - 300, dy = 2 * y + 1 - 300;
    return dx * dx + dy * dy < 300 * 300 ? solid(kBallColour)(x, y) : kKey;
  });
}

int count_colour(const platform::testing::Screen& screen, std::uint32_t colour, int left, int top, int right,
                 int bottom) {
  int n = 0;
  for (int y = std::max(top, 0); y < std::min(bottom, screen.height); y++)
    for (int x = std::max(left, 0); x < std::min(right, screen.width); x++) n += screen.at(x, y) == colour;
  return n;
}

Box colour_box(const platform::testing::Screen& screen, std::uint32_t colour, bool other) {
  Box box{screen.width, screen.height, 0, 0};
  for (int y = 0; y < screen.height; y++)
    for (int x = 0; x < screen.width; x++) {
      if ((screen.at(x, y) == colour) == other) continue;
      box = Box{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                std::max(box.bottom, y + 1)};
    }
  return box;
}

}  // namespace hops_test
