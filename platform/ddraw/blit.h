// The blit kernels behind IDirectDrawSurface7::Blt: same-size and stretched
// (nearest-neighbour) copies of 32- or 16-bit pixels, with or without a
// source colour key. Rectangles reach the kernels already checked.
#pragma once

#include <cstdint>

namespace platform {

// A rectangle of pixels inside a surface: the top-left pixel's address, the
// surface's row pitch in bytes, and the rectangle's size.
struct PixelBlock {
  std::uint8_t* first = nullptr;
  int pitch = 0;
  int width = 0;
  int height = 0;
};

// A source colour key: pixels whose every channel lies between the low and
// high values' channels are left out. 32-bit pixels are compared without
// their unused top byte.
struct SourceKey {
  std::uint32_t low = 0;
  std::uint32_t high = 0;
};

// Copies src into dst, scaling when the sizes differ: destination column x
// takes source column (x * ((src.width << 16) / dst.width)) >> 16, rows
// likewise. key may be null. bytes_per_pixel is 4 or 2.
void blit_pixels(const PixelBlock& dst, const PixelBlock& src, int bytes_per_pixel, const SourceKey* key);

}  // namespace platform
