#include "ddraw/blit.h"

#include <algorithm>
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
  static bool within(std::uint32_t value, std::uint32_t lo, std::uint32_t hi) {
    return value >= lo && value <= hi;
  }
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

// Without a key every destination row is written whole, so a row that
// takes the same source row as the one above is a copy of it.
template <typename Pixel>
void copy_stretched_opaque(const PixelBlock& dst, const PixelBlock& src) {
  const std::int64_t x_step = (static_cast<std::int64_t>(src.width) << 16) / dst.width;
  const std::int64_t y_step = (static_cast<std::int64_t>(src.height) << 16) / dst.height;
  const std::size_t row_bytes = static_cast<std::size_t>(dst.width) * sizeof(Pixel);
  std::int64_t sy = 0;
  std::int64_t previous_row = -1;
  for (int y = 0; y < dst.height; ++y, sy += y_step) {
    Pixel* out = row_of<Pixel>(dst, y);
    const std::int64_t source_row = sy >> 16;
    if (source_row == previous_row) {
      std::memcpy(out, row_of<Pixel>(dst, y - 1), row_bytes);
      continue;
    }
    previous_row = source_row;
    const Pixel* in = row_of<Pixel>(src, static_cast<int>(source_row));
    std::int64_t sx = 0;
    for (int x = 0; x < dst.width; ++x, sx += x_step) out[x] = in[sx >> 16];
  }
}

// Calls work with the key's test, exact or range, the key compared under
// `mask` (the bits a pixel really has).
template <typename Pixel, typename Exact, typename Range, typename Work>
void with_key_test(const SourceKey& key, std::uint32_t mask, const Work& work) {
  const std::uint32_t low = key.low & mask;
  const std::uint32_t high = key.high & mask;
  if (low == high) {
    work(Pixel{}, Exact{static_cast<Pixel>(low)});
  } else {
    work(Pixel{}, Range{low, high});
  }
}

template <typename Work>
void with_key_test(int bytes_per_pixel, const SourceKey& key, const Work& work) {
  if (bytes_per_pixel == 4) {
    with_key_test<std::uint32_t, ExactKey32, RangeKey32>(key, 0x00FFFFFFu, work);
  } else {
    with_key_test<std::uint16_t, ExactKey16, RangeKey16>(key, 0xFFFFu, work);
  }
}

template <typename Pixel>
void blit_unkeyed(const PixelBlock& dst, const PixelBlock& src) {
  if (dst.width == src.width && dst.height == src.height) {
    copy_same_size<Pixel>(dst, src);
  } else {
    copy_stretched_opaque<Pixel>(dst, src);
  }
}

template <typename Pixel, typename Key>
void scan_runs(const PixelBlock& picture, const Key& key, OpaqueRuns& result) {
  result.row_start.reserve(static_cast<std::size_t>(picture.height) + 1);
  for (int y = 0; y < picture.height; ++y) {
    result.row_start.push_back(static_cast<std::uint32_t>(result.runs.size()));
    const Pixel* in = row_of<Pixel>(picture, y);
    int x = 0;
    while (x < picture.width) {
      while (x < picture.width && key.keyed(in[x])) ++x;
      const int start = x;
      while (x < picture.width && !key.keyed(in[x])) ++x;
      if (x > start) result.runs.push_back(OpaqueRun{y, start, x - start});
    }
  }
  result.row_start.push_back(static_cast<std::uint32_t>(result.runs.size()));
}

// Both ends of a run of kChunk to 2 kChunk bytes, as two copies that may
// overlap. Both are read before either is written: a store ahead of a load
// whose address it might share would hold the load up.
template <std::size_t kChunk>
inline void copy_ends(std::uint8_t* out, const std::uint8_t* in, std::size_t bytes) {
  unsigned char head[kChunk];
  unsigned char tail[kChunk];
  std::memcpy(head, in, kChunk);
  std::memcpy(tail, in + bytes - kChunk, kChunk);
  std::memcpy(out, head, kChunk);
  std::memcpy(out + bytes - kChunk, tail, kChunk);
}

// Copies one run of `bytes` (at least one pixel). The runs along a
// sprite's edge are a few pixels long, where calling memcpy costs more than
// the copy: up to 128 bytes, copies of a fixed size, which the compiler
// turns into plain moves. Longer runs, a screen row at most, go to memcpy,
// which copies them faster than any loop here could.
inline void copy_run(std::uint8_t* out, const std::uint8_t* in, std::size_t bytes) {
  if (bytes > 128) {
    std::memcpy(out, in, bytes);
  } else if (bytes >= 64) {
    copy_ends<64>(out, in, bytes);
  } else if (bytes >= 32) {
    copy_ends<32>(out, in, bytes);
  } else if (bytes >= 16) {
    copy_ends<16>(out, in, bytes);
  } else if (bytes >= 8) {
    copy_ends<8>(out, in, bytes);
  } else if (bytes >= 4) {
    copy_ends<4>(out, in, bytes);
  } else {
    std::memcpy(out, in, 2);
  }
}

// Whole rows of the picture from row `top` on: every run as it is, one
// pass over the runs. What the loop needs sits in locals, since memcpy
// could write anywhere and fields behind references would be read again.
template <std::size_t kPixel>
void copy_whole_rows(const PixelBlock& dst, const PixelBlock& picture, const OpaqueRuns& runs, int top) {
  std::uint8_t* const out = dst.first - static_cast<std::ptrdiff_t>(top) * dst.pitch;
  const std::uint8_t* const in = picture.first;
  const std::ptrdiff_t out_pitch = dst.pitch;
  const std::ptrdiff_t in_pitch = picture.pitch;
  const OpaqueRun* run = runs.runs.data() + runs.row_start[static_cast<std::size_t>(top)];
  const OpaqueRun* const end = runs.runs.data() + runs.row_start[static_cast<std::size_t>(top + dst.height)];
  for (; run != end; ++run) {
    const std::size_t offset = static_cast<std::size_t>(run->start) * kPixel;
    copy_run(out + run->row * out_pitch + offset, in + run->row * in_pitch + offset,
             static_cast<std::size_t>(run->length) * kPixel);
  }
}

}  // namespace

void blit_pixels(const PixelBlock& dst, const PixelBlock& src, int bytes_per_pixel, const SourceKey* key) {
  if (dst.width <= 0 || dst.height <= 0 || src.width <= 0 || src.height <= 0) return;
  if (key == nullptr) {
    if (bytes_per_pixel == 4) {
      blit_unkeyed<std::uint32_t>(dst, src);
    } else {
      blit_unkeyed<std::uint16_t>(dst, src);
    }
    return;
  }
  with_key_test(bytes_per_pixel, *key, [&](auto pixel, const auto& test) {
    using Pixel = decltype(pixel);
    if (dst.width == src.width && dst.height == src.height) {
      copy_same_size_keyed<Pixel>(dst, src, test);
    } else {
      copy_stretched<Pixel>(dst, src, test);
    }
  });
}

void blit_overlapping(const PixelBlock& dst, const PixelBlock& src, int bytes_per_pixel,
                      const SourceKey* key) {
  const std::size_t row_bytes =
      static_cast<std::size_t>(src.width) * static_cast<std::size_t>(bytes_per_pixel);
  std::vector<std::uint8_t> copy(row_bytes * static_cast<std::size_t>(src.height));
  for (int y = 0; y < src.height; ++y) {
    std::memcpy(copy.data() + static_cast<std::size_t>(y) * row_bytes,
                src.first + static_cast<std::ptrdiff_t>(y) * src.pitch, row_bytes);
  }
  blit_pixels(dst, PixelBlock{copy.data(), static_cast<int>(row_bytes), src.width, src.height},
              bytes_per_pixel, key);
}

OpaqueRuns find_opaque_runs(const PixelBlock& picture, int bytes_per_pixel, const SourceKey& key) {
  OpaqueRuns result;
  with_key_test(bytes_per_pixel, key,
                [&](auto pixel, const auto& test) { scan_runs<decltype(pixel)>(picture, test, result); });
  return result;
}

void blit_runs(const PixelBlock& dst, const PixelBlock& picture, const OpaqueRuns& runs, int left, int top,
               int bytes_per_pixel) {
  if (left == 0 && dst.width == picture.width) {
    if (bytes_per_pixel == 4) {
      copy_whole_rows<4>(dst, picture, runs, top);
    } else {
      copy_whole_rows<2>(dst, picture, runs, top);
    }
    return;
  }
  // Part of the picture: each run is cut to the rectangle's columns.
  const std::size_t pixel = static_cast<std::size_t>(bytes_per_pixel);
  const std::int32_t right = left + dst.width;
  const OpaqueRun* run = runs.runs.data() + runs.row_start[static_cast<std::size_t>(top)];
  const OpaqueRun* const end = runs.runs.data() + runs.row_start[static_cast<std::size_t>(top + dst.height)];
  for (; run != end; ++run) {
    const std::int32_t from = run->start > left ? run->start : left;
    const std::int32_t to = run->start + run->length < right ? run->start + run->length : right;
    if (from >= to) continue;
    copy_run(dst.first + static_cast<std::ptrdiff_t>(run->row - top) * dst.pitch +
                 static_cast<std::size_t>(from - left) * pixel,
             picture.first + static_cast<std::ptrdiff_t>(run->row) * picture.pitch +
                 static_cast<std::size_t>(from) * pixel,
             static_cast<std::size_t>(to - from) * pixel);
  }
}

void blit_runs_over_part(const PixelBlock& dst, const PixelBlock& picture, const OpaqueRuns& runs,
                         const PixelBlock& base, int left, int top, int right, int bottom,
                         int bytes_per_pixel) {
  const std::size_t pixel = static_cast<std::size_t>(bytes_per_pixel);
  const OpaqueRun* const all_runs = runs.runs.data();
  const std::uint32_t* const row_start = runs.row_start.data();
  for (int y = top; y < bottom; ++y) {
    std::uint8_t* const out = dst.first + static_cast<std::ptrdiff_t>(y) * dst.pitch;
    const std::uint8_t* const in = picture.first + static_cast<std::ptrdiff_t>(y) * picture.pitch;
    const std::uint8_t* const under = base.first + static_cast<std::ptrdiff_t>(y) * base.pitch;
    std::int32_t x = left;
    for (const OpaqueRun* run = all_runs + row_start[y]; run != all_runs + row_start[y + 1]; ++run) {
      if (run->start >= right) break;
      const std::int32_t start = std::max<std::int32_t>(run->start, x);
      const std::int32_t end = std::min<std::int32_t>(run->start + run->length, right);
      if (end <= start) continue;
      if (start > x) {
        copy_run(out + static_cast<std::size_t>(x) * pixel, under + static_cast<std::size_t>(x) * pixel,
                 static_cast<std::size_t>(start - x) * pixel);
      }
      copy_run(out + static_cast<std::size_t>(start) * pixel, in + static_cast<std::size_t>(start) * pixel,
               static_cast<std::size_t>(end - start) * pixel);
      x = end;
    }
    if (x < right) {
      copy_run(out + static_cast<std::size_t>(x) * pixel, under + static_cast<std::size_t>(x) * pixel,
               static_cast<std::size_t>(right - x) * pixel);
    }
  }
}

}  // namespace platform
