#include "support/game_pictures.h"

#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <sys/stat.h>

#include "support/bmp_file.h"

namespace hops_test {
namespace {

Rgb Of(std::uint32_t colour) {
  return Rgb{static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
             static_cast<std::uint8_t>(colour)};
}

constexpr Rgb kMagenta{255, 0, 255};

}  // namespace

const std::vector<std::string>& picture_names() {
  static const std::vector<std::string> s_names = {
      "IMG_BACK.bmp", "IMG_BACKGROUND.bmp", "IMG_PLAYER.bmp", "IMG_BULLET.bmp",
      "IMG_BALL.bmp", "IMG_LOADING.bmp",    "IMG_ENDING.bmp",
  };
  return s_names;
}

std::string make_game_folder() {
  const std::string folder = make_temp_dir();
  const std::string img = folder + "/IMG";
  if (mkdir(img.c_str(), 0755) != 0) throw std::runtime_error("mkdir " + img);
  write_bmp(img, "IMG_BACK.bmp", 1024, 768, [](int, int) { return Of(kBackColour); });
  write_bmp(img, "IMG_BACKGROUND.bmp", 1024, 768, [](int, int) { return Of(kFieldColour); });
  write_bmp(img, "IMG_ENDING.bmp", 1024, 768, [](int, int) { return Of(kEndingColour); });
  write_bmp(img, "IMG_LOADING.bmp", 1024, 768, [](int x, int y) {
    const bool hole = x >= kLoadingHoleLeft && x < kLoadingHoleLeft + kLoadingHoleSize && y >= kLoadingHoleTop &&
                      y < kLoadingHoleTop + kLoadingHoleSize;
    return hole ? kMagenta : Of(kLoadingColour);
  });
  write_bmp(img, "IMG_PLAYER.bmp", 91, 150, [](int, int) { return Of(kPlayerColour); });
  write_bmp(img, "IMG_BULLET.bmp", 16, 32, [](int, int) { return Of(kBulletColour); });
  write_bmp(img, "IMG_BALL.bmp", 300, 300, [](int x, int y) {
    const int dx = 2 * x + 1 - 300;
    const int dy = 2 * y + 1 - 300;
    return dx * dx + dy * dy < 300 * 300 ? Of(kBallColour) : kMagenta;
  });
  return folder;
}

void enter_folder(const std::string& folder) {
  if (chdir(folder.c_str()) != 0) throw std::runtime_error("chdir " + folder);
}

int count_colour(const platform::testing::Screen& screen, std::uint32_t colour, int left, int top, int right,
                 int bottom) {
  int n = 0;
  for (int y = std::max(top, 0); y < std::min(bottom, screen.height); y++) {
    for (int x = std::max(left, 0); x < std::min(right, screen.width); x++) n += screen.at(x, y) == colour;
  }
  return n;
}

Box colour_box(const platform::testing::Screen& screen, std::uint32_t colour) {
  Box box{screen.width, screen.height, 0, 0};
  for (int y = 0; y < screen.height; y++) {
    for (int x = 0; x < screen.width; x++) {
      if (screen.at(x, y) != colour) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  }
  return box;
}

}  // namespace hops_test
