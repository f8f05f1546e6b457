// hops_imggen <folder>: writes the game's seven IMG_*.bmp pictures there.
// hops_imggen --icons <folder> <name>: writes the game's icon there as
// hicolor/<size>x<size>/apps/<name>.png, one for every size of the theme.
#include <cstdio>
#include <filesystem>
#include <string>

#include "canvas.h"
#include "icon.h"
#include "pictures.h"

namespace {

int write_icons(const std::filesystem::path& folder, const std::string& name) {
  for (const int size : imggen::kIconSizes) {
    const std::string dimensions = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path apps = folder / "hicolor" / dimensions / "apps";
    std::error_code error;
    std::filesystem::create_directories(apps, error);
    const std::string path = (apps / (name + ".png")).string();
    if (error || !imggen::write_icon(path, size)) {
      std::fprintf(stderr, "hops_imggen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--icons") return write_icons(argv[2], argv[3]);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n       %s --icons <output folder> <icon name>\n",
                 argv[0], argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "hops_imggen: cannot create %s: %s\n", folder.string().c_str(),
                 error.message().c_str());
    return 1;
  }

  struct Picture {
    const char* file;
    imggen::Canvas (*make)();
  };
  const Picture pictures[] = {
      {"IMG_BACK.bmp", imggen::night_sky},
      {"IMG_BACKGROUND.bmp", imggen::play_field},
      {"IMG_PLAYER.bmp", imggen::player},
      {"IMG_BULLET.bmp", imggen::bullet},
      {"IMG_BALL.bmp", imggen::ball},
      {"IMG_LOADING.bmp", imggen::title_screen},
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
