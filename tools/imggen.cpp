// hops_imggen <folder>: writes the game's seven IMG_*.bmp pictures there.
#include <cstdio>
#include <filesystem>
#include <string>

#include "canvas.h"
#include "pictures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "hops_imggen: cannot create %s: %s\n", folder.string().c_str(), error.message().c_str());
    return 1;
  }

  struct Picture {
    const char* file;
    imggen::Canvas (*make)();
  };
  const Picture pictures[] = {
      {"IMG_BACK.bmp", imggen::night_sky},       {"IMG_BACKGROUND.bmp", imggen::play_field},
      {"IMG_PLAYER.bmp", imggen::player},        {"IMG_BULLET.bmp", imggen::bullet},
      {"IMG_BALL.bmp", imggen::ball},            {"IMG_LOADING.bmp", imggen::title_screen},
      {"IMG_ENDING.bmp", imggen::ending_screen},
  };
  for (const Picture& picture : pictures) {
    const std::string path = (folder / picture.file).string();
    if (!imggen::write_bmp(path, picture.make())) {
      std::fprintf(stderr, "hops_imggen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
