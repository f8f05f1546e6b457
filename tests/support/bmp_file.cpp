// The test pictures: BMP files, and the game's folder made of them.
#include "support/bmp_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <tuple>

namespace hops_test {

std::vector<std::uint8_t> bmp_bytes(int width, int height, const PixelFn& pixel) {
  return bmp::file_bytes(width, height, [&pixel](int x, int y, std::uint8_t* bgr) {
    const std::uint32_t c = pixel(x, y);
    for (int i = 0; i < 3; ++i) bgr[i] = static_cast<std::uint8_t>(c >> (8 * i));
  });
}

std::string write_file(const std::string& dir, const std::string& name,
                       const std::vector<std::uint8_t>& bytes) {
  const std::string path = dir + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
  return path;
}

void enter_game_folder(bool pictures) {
  const std::string folder = make_temp_dir();
  if (chdir(folder.c_str()) != 0 || (pictures && mkdir("IMG", 0755) != 0)) throw std::runtime_error(folder);
  if (!pictures) return;
  const std::tuple<const char*, int, int, std::uint32_t> files[] = {
      {"IMG_BACK.bmp", 1024, 768, kBackColour},     {"IMG_BACKGROUND.bmp", 1024, 768, kFieldColour},
      {"IMG_ENDING.bmp", 1024, 768, kEndingColour}, {"IMG_LOADING.bmp", 1024, 768, kLoadingColour},
      {"IMG_PLAYER.bmp", 91, 150, kPlayerColour},   {"IMG_BULLET.bmp", 16, 32, kBulletColour},
      {"IMG_BALL.bmp", 300, 300, kBallColour}};
  // The key (magenta) in the title's window and around the ball's disc.
  for (const auto& [name, w, h, colour] : files)
    write_file("IMG", name, bmp_bytes(w, h, [colour = colour](int x, int y) {
                 const bool window = colour == kLoadingColour && x / 100 == 5 && y / 100 == 3;
                 const bool corner = colour == kBallColour &&
                                     (2 * x - 299) * (2 * x - 299) + (2 * y - 299) * (2 * y - 299) >= 90000;
                 return window || corner ? 0xFF00FFu : colour;
               }));
}

std::vector<int> colour_box(const platform::testing::Screen& screen, std::uint32_t colour, bool other) {
  std::vector<int> box{screen.width, screen.height, 0, 0};
  for (int y = 0; y < screen.height; y++)
    for (int x = 0; x < screen.width; x++) {
      if ((screen.at(x, y) == colour) == other) continue;
      box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1), std::max(box[3], y + 1)};
    }
  return box;
}

}  // namespace hops_test
