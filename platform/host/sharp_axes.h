// The two axes of a sharp scale, kept: every changed part of every frame
// shown is drawn with the same two until the window changes size, and
// working them out takes longer than drawing a small part.
#pragma once

#include "host/picture_scaling.h"

namespace platform {

struct SharpAxes {
  SharpAxis columns;
  SharpAxis rows;
};

// The axes of a picture_width x picture_height picture scaled sharp to
// width x height (as sharp_axis gives them, at sharp_factor), for this
// thread. The last size asked for is kept; the reference holds until a
// call for another size.
const SharpAxes& sharp_axes(int picture_width, int picture_height, int width, int height);

}  // namespace platform
