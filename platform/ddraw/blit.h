// The blit kernels behind IDirectDrawSurface7::Blt: same-size and stretched
// (nearest-neighbour) copies of 32- or 16-bit pixels, with or without a
// source colour key, and the faster forms of the keyed copy that work from a
// picture's opaque runs. Rectangles reach the kernels already checked.
#pragma once

#include <cstdint>
#include <vector>

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

// The same, for rectangles of one surface that may overlap: src is read
// whole before dst is written.
void blit_overlapping(const PixelBlock& dst, const PixelBlock& src, int bytes_per_pixel,
                      const SourceKey* key);

// Columns [start, start + length) of row `row`, none of them hidden by the key.
struct OpaqueRun {
  std::int32_t row = 0;
  std::int32_t start = 0;
  std::int32_t length = 0;
};

// The opaque runs of a whole picture under one key, left to right: row y's
// are runs[row_start[y]] up to, not including, runs[row_start[y + 1]].
struct OpaqueRuns {
  std::vector<OpaqueRun> runs;
  std::vector<std::uint32_t> row_start;  // one more than the picture has rows
};

// Finds the runs of picture's pixels that key leaves in, by the same test
// blit_pixels makes.
OpaqueRuns find_opaque_runs(const PixelBlock& picture, int bytes_per_pixel, const SourceKey& key);

// The keyed same-size copy, from runs found by find_opaque_runs on picture:
// draws picture's rectangle at (left, top), of dst's size, onto dst. The
// pixels it writes are exactly those blit_pixels with the key writes.
void blit_runs(const PixelBlock& dst, const PixelBlock& picture, const OpaqueRuns& runs, int left, int top,
               int bytes_per_pixel);

// The keyed copy of a whole picture onto a surface of its size whose pixels
// are, so far, only base's (a copy of base not made yet), written only inside
// columns [left, right) of rows [top, bottom): each pixel there takes the
// picture's pixel where a run covers it and base's elsewhere, written once.
void blit_runs_over_part(const PixelBlock& dst, const PixelBlock& picture, const OpaqueRuns& runs,
                         const PixelBlock& base, int left, int top, int right, int bottom,
                         int bytes_per_pixel);

}  // namespace platform
