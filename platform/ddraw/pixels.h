// Pixels as the platform keeps them: the two formats a surface may have,
// 32 bits 0x00RRGGBB and 16 bits 5-6-5 (red in the top five bits), how a
// colour becomes a pixel of either and a 5-6-5 pixel widens to 0x00RRGGBB,
// and the view of pixels in memory that surfaces, device contexts and hosts
// hand each other.
#pragma once

#include <ddraw.h>

#include <cstdint>
#include <cstring>

namespace platform {

// Pixels in memory: width x height of them, rows pitch bytes apart (the
// pitch may exceed width times the pixel's bytes). Whoever hands a view out
// says whether its pixels may be written through it.
struct PixelView {
  void* pixels = nullptr;  // the top-left pixel
  int width = 0;
  int height = 0;
  int pitch = 0;
  int bits_per_pixel = 32;  // 32: 0x00RRGGBB, 16: 5-6-5

  std::uint8_t* row(int y) const {
    return static_cast<std::uint8_t*>(pixels) + static_cast<std::ptrdiff_t>(y) * pitch;
  }
  // The pixel as stored: 32-bit pixels whole, 16-bit ones in the low half.
  std::uint32_t at(int x, int y) const {
    const std::uint8_t* pixel = row(y) + static_cast<std::ptrdiff_t>(x) * (bits_per_pixel / 8);
    if (bits_per_pixel == 32) {
      std::uint32_t value;
      std::memcpy(&value, pixel, 4);
      return value;
    }
    std::uint16_t value;
    std::memcpy(&value, pixel, 2);
    return value;
  }
};

// A 5-6-5 pixel as 0x00RRGGBB, each channel's top bits repeated below it,
// so that black stays black and white white.
constexpr std::uint32_t widen_565(std::uint32_t pixel) {
  const std::uint32_t r = (pixel >> 11) & 0x1F;
  const std::uint32_t g = (pixel >> 5) & 0x3F;
  const std::uint32_t b = pixel & 0x1F;
  return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

// A COLORREF (0x00BBGGRR) as a pixel of that many bits, each channel's low
// bits dropped in 5-6-5.
constexpr std::uint32_t pixel_of(COLORREF color, int bits_per_pixel) {
  const std::uint32_t r = GetRValue(color);
  const std::uint32_t g = GetGValue(color);
  const std::uint32_t b = GetBValue(color);
  if (bits_per_pixel == 16) return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
  return r << 16 | g << 8 | b;
}

// The bits of the format's pixels, 32 or 16; 0 for a format surfaces cannot have.
int bits_of(const DDPIXELFORMAT& format);
// The format of pixels of 32 or 16 bits, as DirectDraw describes it.
DDPIXELFORMAT pixel_format(int bits_per_pixel);

}  // namespace platform
