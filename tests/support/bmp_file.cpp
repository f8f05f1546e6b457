#include "support/bmp_file.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace hops_test {

namespace {
std::vector<std::string> s_made_dirs;
}  // namespace

std::string make_temp_dir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "hops_bmp_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
  s_made_dirs.push_back(pattern);
  return pattern;
}

void remove_temp_dirs() {
  std::error_code ignored;
  for (const std::string& dir : s_made_dirs) std::filesystem::remove_all(dir, ignored);
  s_made_dirs.clear();
}

std::vector<std::uint8_t> bmp_bytes(int width, int height, const PixelFn& pixel) {
  return bmp::file_bytes(width, height, [&pixel](int x, int y, std::uint8_t* bgr) {
    const Rgb c = pixel(x, y);
    bgr[0] = c.b;
    bgr[1] = c.g;
    bgr[2] = c.r;
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

std::string write_bmp(const std::string& dir, const std::string& name, int width, int height,
                      const PixelFn& pixel) {
  return write_file(dir, name, bmp_bytes(width, height, pixel));
}

}  // namespace hops_test
