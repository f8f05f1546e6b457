#include "ddraw/pixels.h"

#include <initializer_list>

namespace platform {

int bits_of(const DDPIXELFORMAT& format) {
  if (format.dwSize != sizeof(DDPIXELFORMAT) || (format.dwFlags & DDPF_RGB) == 0) return 0;
  for (const int bits : {32, 16}) {
    const DDPIXELFORMAT known = pixel_format(bits);
    if (format.dwRGBBitCount == known.dwRGBBitCount && format.dwRBitMask == known.dwRBitMask &&
        format.dwGBitMask == known.dwGBitMask && format.dwBBitMask == known.dwBBitMask) {
      return bits;
    }
  }
  return 0;
}

DDPIXELFORMAT pixel_format(int bits_per_pixel) {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(DDPIXELFORMAT);
  format.dwFlags = DDPF_RGB;
  format.dwRGBBitCount = static_cast<DWORD>(bits_per_pixel);
  const bool wide = bits_per_pixel == 32;
  format.dwRBitMask = wide ? 0x00FF0000 : 0xF800;
  format.dwGBitMask = wide ? 0x0000FF00 : 0x07E0;
  format.dwBBitMask = wide ? 0x000000FF : 0x001F;
  return format;
}

}  // namespace platform
