#include "bmp_bytes.h"

namespace bmp {

void put_u16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::uint8_t>(value);
  bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void put_u32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::vector<std::uint8_t> file_bytes(int width, int height, const PixelFn& pixel) {
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
  const std::size_t pixel_bytes = stride * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> bytes(54 + pixel_bytes, 0);
  put_u16(bytes, 0, 0x4D42);  // "BM"
  put_u32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
  put_u32(bytes, 10, 54);
  put_u32(bytes, 14, 40);
  put_u32(bytes, 18, static_cast<std::uint32_t>(width));
  put_u32(bytes, 22, static_cast<std::uint32_t>(height));
  put_u16(bytes, 26, 1);
  put_u16(bytes, 28, 24);
  put_u32(bytes, 34, static_cast<std::uint32_t>(pixel_bytes));
  put_u32(bytes, 38, 2835);  // 72 dots per inch
  put_u32(bytes, 42, 2835);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = bytes.data() + 54 + stride * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) pixel(x, y, row + 3 * x);
  }
  return bytes;
}

}  // namespace bmp
