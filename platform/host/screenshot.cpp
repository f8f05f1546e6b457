#include "host/screenshot.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

namespace platform {
namespace {

// One row of the frame as R, G, B bytes.
void row_to_rgb(const FrameView& frame, int y, std::uint8_t* rgb) {
  for (int x = 0; x < frame.width; ++x, rgb += 3) {
    const std::uint32_t stored = frame.at(x, y);
    const std::uint32_t pixel = frame.bits_per_pixel == 16 ? widen_565(stored) : stored;
    rgb[0] = static_cast<std::uint8_t>(pixel >> 16);
    rgb[1] = static_cast<std::uint8_t>(pixel >> 8);
    rgb[2] = static_cast<std::uint8_t>(pixel);
  }
}

bool is_folder(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(path, error);
}

}  // namespace

bool write_png(const FrameView& frame, const std::filesystem::path& path) {
  if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) return false;
  const std::size_t stride = static_cast<std::size_t>(frame.width) * 3;
  std::vector<std::uint8_t> rgb(stride * static_cast<std::size_t>(frame.height));
  for (int y = 0; y < frame.height; ++y)
    row_to_rgb(frame, y, rgb.data() + stride * static_cast<std::size_t>(y));

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(frame.width);
  image.height = static_cast<png_uint_32>(frame.height);
  image.format = PNG_FORMAT_RGB;
  const bool written = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(),
                                               static_cast<png_int_32>(stride), nullptr) != 0;
  png_image_free(&image);
  return written;
}

std::filesystem::path screenshot_folder(const Settings& settings) {
  if (is_folder(settings.pictures_folder)) return settings.pictures_folder;
  const std::string home_pictures = settings.home + "/Pictures";
  if (!settings.home.empty() && is_folder(home_pictures)) return home_pictures;
  return ".";
}

std::filesystem::path screenshot_path(const std::filesystem::path& folder, std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "hops-%Y%m%d-%H%M%S", &local);
  std::filesystem::path path = folder / (std::string(stamp) + ".png");
  std::error_code error;
  for (int n = 2; std::filesystem::exists(path, error); ++n) {
    path = folder / (std::string(stamp) + "-" + std::to_string(n) + ".png");
  }
  return path;
}

void save_screenshot(const FrameView& frame, const Settings& settings) {
  if (frame.pixels == nullptr) return;
  std::error_code error;
  const std::filesystem::path folder =
      std::filesystem::absolute(screenshot_folder(settings), error).lexically_normal();
  const std::filesystem::path path = screenshot_path(folder, std::time(nullptr));
  if (write_png(frame, path)) {
    std::fprintf(stderr, "hops: screenshot saved to %s\n", path.c_str());
  } else {
    std::fprintf(stderr, "hops: screenshot not saved: cannot write %s\n", path.c_str());
  }
}

}  // namespace platform
