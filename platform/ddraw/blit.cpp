#include "ddraw/blit.h"

#include <cstring>

namespace platform {
namespace {

template <typename Pixel>
Pixel* row_of(const PixelBlock& block, int y) {
  return reinterpret_cast<Pixel*>(block.first + static_cast<std::ptrdiff_t>(y) * block.pitch);
}

// The colour-key tests. An exact key is one compare; a range is checked
// channel by channel, as DirectDraw defines colour-space keys.
struct ExactKey32 {
  std::uint32_t key;
  bool keyed(std::uint32_t pixel) const { return (pixel & 0x00FFFFFFu) == key; }
};

struct RangeKey32 {
  std::uint32_t low;
  std::uint32_t high;
  bool keyed(std::uint32_t pixel) const {
    for (int shift = 0; shift < 24; shift += 8) {
      const std::uint32_t channel = (pixel >> shift) & 0xFFu;
      if (channel < ((low >> shift) & 0xFFu) || channel > ((high >> shift) & 0xFFu)) return false;
    }
    return true;
  }
};

struct ExactKey16 {
  std::uint16_t key;
  bool keyed(std::uint16_t pixel) const { return pixel == key; }
};

struct RangeKey16 {
  std::uint32_t low;
  std::uint32_t high;
  static bool within(std::uint32_t value, std::uint32_t lo, std::uint32_t hi) { return value >= lo && value <= hi; }
  bool keyed(std::uint16_t pixel) const {
    return within(pixel >> 11, (low >> 11) & 0x1F, (high >> 11) & 0x1F) &&
           within((pixel >> 5) & 0x3F, (low >> 5) & 0x3F, (high >> 5) & 0x3F) &&
           within(pixel & 0x1F, low & 0x1F, high & 0x1F);
  }
};

template <typename Pixel>
void copy_same_size(const PixelBlock& dst, const PixelBlock& src) {
  const std::size_t bytes = static_cast<std::size_t>(dst.width) * sizeof(Pixel);
  for (int y = 0; y < dst.height; ++y) std::memcpy(row_of<Pixel>(dst, y), row_of<Pixel>(src, y), bytes);
}

// Written without branches so that the compiler can keep several pixels in
// flight; the destination is read either way.
template <typename Pixel, typename Key>
void copy_same_size_keyed(const PixelBlock& dst, const PixelBlock& src, const Key& key) {
  for (int y = 0; y < dst.height; ++y) {
    Pixel* out = row_of<Pixel>(dst, y);
    const Pixel* in = row_of<Pixel>(src, y);
    for (int x = 0; x < dst.width; ++x) {
      const Pixel pixel = in[x];
      out[x] = key.keyed(pixel) ? out[x] : pixel;
    }
  }
}

struct NoKey {
  template <typename Pixel>
  bool keyed(Pixel) const {
    return false;
  }
};

// Nearest-neighbour in 16.16 fixed point, stepping from the top-left source
// pixel; the same mapping the software blitters of DirectDraw use.
template <typename Pixel, typename Key>
void copy_stretched(const PixelBlock& dst, const PixelBlock& src, const Key& key) {
  const std::int64_t x_step = (static_cast<std::int64_t>(src.width) << 16) / dst.width;
  const std::int64_t y_step = (static_cast<std::int64_t>(src.height) << 16) / dst.height;
  std::int64_t sy = 0;
  for (int y = 0; y < dst.height; ++y, sy += y_step) {
    Pixel* out = row_of<Pixel>(dst, y);
    const Pixel* in = row_of<Pixel>(src, static_cast<int>(sy >> 16));
    std::int64_t sx = 0;
    for (int x = 0; x < dst.width; ++x, sx += x_step) {
      const Pixel pixel = in[sx >> 16];
      if (!key.keyed(pixel)) out[x] = pixel;
    }
  }
}

template <typename Pixel, typename Key>
void dispatch(const PixelBlock& dst, const PixelBlock& src, const Key& key) {
  if (dst.width == src.width && dst.height == src.height) {
    copy_same_size_keyed<Pixel>(dst, src, key);
  } else {
    copy_stretched<Pixel>(dst, src, key);
  }
}

// Picks the kernel: a plain copy, or a keyed one with an exact or a range
// key, the keys compared under `mask` (the bits a pixel really has).
template <typename Pixel, typename Exact, typename Range>
void blit_as(const PixelBlock& dst, const PixelBlock& src, const SourceKey* key, std::uint32_t mask) {
  if (key == nullptr) {
    if (dst.width == src.width && dst.height == src.height) {
      copy_same_size<Pixel>(dst, src);
    } else {
      copy_stretched<Pixel>(dst, src, NoKey{});
    }
    return;
  }
  const std::uint32_t low = key->low & mask;
  const std::uint32_t high = key->high & mask;
  if (low == high) {
    dispatch<Pixel>(dst, src, Exact{static_cast<Pixel>(low)});
  } else {
    dispatch<Pixel>(dst, src, Range{low, high});
  }
}

}  // namespace

void blit_pixels(const PixelBlock& dst, const PixelBlock& src, int bytes_per_pixel, const SourceKey* key) {
  if (dst.width <= 0 || dst.height <= 0 || src.width <= 0 || src.height <= 0) return;
  if (bytes_per_pixel == 4) {
    blit_as<std::uint32_t, ExactKey32, RangeKey32>(dst, src, key, 0x00FFFFFFu);
  } else {
    blit_as<std::uint16_t, ExactKey16, RangeKey16>(dst, src, key, 0xFFFFu);
  }
}

}  // namespace platform
