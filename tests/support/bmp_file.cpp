#include "support/bmp_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

namespace hops_test {

namespace {

std::vector<std::string>& made_dirs() {
  static std::vector<std::string> s_dirs;
  return s_dirs;
}

}  // namespace

std::string make_temp_dir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/hops_bmp_XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
  made_dirs().push_back(pattern);
  return pattern;
}

void remove_temp_dirs() {
  for (const std::string& dir : made_dirs()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  made_dirs().clear();
}

void put_u16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::uint8_t>(value);
  bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void put_u32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::vector<std::uint8_t> bmp_bytes(int width, int height, const PixelFn& pixel) {
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
  const std::size_t pixel_bytes = stride * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> bytes(54 + pixel_bytes, 0);
  put_u16(bytes, 0, 0x4D42);
  put_u32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
  put_u32(bytes, 10, 54);
  put_u32(bytes, 14, 40);
  put_u32(bytes, 18, static_cast<std::uint32_t>(width));
  put_u32(bytes, 22, static_cast<std::uint32_t>(height));
  put_u16(bytes, 26, 1);
  put_u16(bytes, 28, 24);
  put_u32(bytes, 34, static_cast<std::uint32_t>(pixel_bytes));
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = bytes.data() + 54 + stride * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const Rgb c = pixel(x, y);
      row[3 * x] = c.b;
      row[3 * x + 1] = c.g;
      row[3 * x + 2] = c.r;
    }
  }
  return bytes;
}

std::string write_file(const std::string& dir, const std::string& name, const std::vector<std::uint8_t>& bytes) {
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
