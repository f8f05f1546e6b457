// Where the game's picture goes on a window or screen of another size, and
// the nearest-neighbour scaling that puts it there.
#pragma once

#include <cstdint>
#include <vector>

#include "host/changed_area.h"
#include "host/host.h"
#include "host/settings.h"

namespace platform {

struct PictureRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PictureRect&) const = default;
};

// The picture's rectangle, centred in the output (the rest are black bars).
PictureRect picture_rect(int output_width, int output_height, int picture_width, int picture_height,
                         ScaleMode mode);
// The whole multiple a sharp picture is enlarged to before it is smoothed
// down to `rect`: the next one up from its scale.
int sharp_factor(const PictureRect& rect, int picture_width);

// Draws the frame (32- or 16-bit) scaled by nearest neighbour into `rect` of
// a 32-bit 0x00RRGGBB output; each output pixel takes the source pixel under
// its top-left corner. The rectangle must lie inside the output.
void scale_nearest(const FrameView& frame, std::uint32_t* output, int output_pitch, const PictureRect& rect);
// The same, drawing only the output pixels in `part` (a part of `rect`):
// each exactly as the whole picture drawn would have it.
void scale_nearest_part(const FrameView& frame, std::uint32_t* output, int output_pitch,
                        const PictureRect& rect, const PictureRect& part);

// One axis of a sharp scale: output pixel i blends source pixels first[i]
// and second[i], weight[i] / 256 of the second. The picture is enlarged by
// `factor` (each source pixel a factor-wide run) and sampled at output
// pixel centres, linearly between neighbouring enlarged pixels, so only
// pixels on a run's edge blend two source pixels.
struct SharpAxis {
  std::vector<int> first;
  std::vector<int> second;
  std::vector<int> weight;
};
SharpAxis sharp_axis(int source_size, int output_size, int factor);

// Draws the frame (32- or 16-bit, widened) into `rect` of a 32-bit 0x00RRGGBB
// output, enlarged by sharp_factor and smoothed down; each channel is
// (a * (256 - w) + b * w) / 256 along the columns, then along the rows.
void scale_sharp(const FrameView& frame, std::uint32_t* output, int output_pitch, const PictureRect& rect);
void scale_sharp_part(const FrameView& frame, std::uint32_t* output, int output_pitch,
                      const PictureRect& rect, const PictureRect& part);

// The part of `rect` whose output pixels take any source pixel of
// `changed` (a rectangle of the frame's) when a picture of this size is
// scaled there in `mode`: what must be drawn again when those source
// pixels change. Empty when no output pixel takes one.
PictureRect output_part(const PictureRect& rect, int picture_width, int picture_height, const RECT& changed,
                        ScaleMode mode);
// The parts of `rect` to draw again for a frame of this size: all of it when
// everything changed, else the output part of each changed rectangle (none
// when nothing changed).
std::vector<PictureRect> parts_to_redraw(const PictureRect& rect, int picture_width, int picture_height,
                                         const ChangedArea& changed, ScaleMode mode);
// Draws `part` of the frame scaled into `rect` by the mode's kernel: sharp
// smooths, fit and integer take the nearest pixel.
void scale_part(ScaleMode mode, const FrameView& frame, std::uint32_t* output, int output_pitch,
                const PictureRect& rect, const PictureRect& part);

}  // namespace platform
