#include "host/sharp_axes.h"

namespace platform {

const SharpAxes& sharp_axes(int picture_width, int picture_height, int width, int height) {
  struct Kept {
    int picture_width = -1;
    int picture_height = -1;
    int width = -1;
    int height = -1;
    SharpAxes axes;
  };
  thread_local Kept kept;
  if (kept.picture_width != picture_width || kept.picture_height != picture_height || kept.width != width ||
      kept.height != height) {
    const int factor = sharp_factor(PictureRect{0, 0, width, height}, picture_width);
    kept =
        Kept{picture_width, picture_height, width, height,
             SharpAxes{sharp_axis(picture_width, width, factor), sharp_axis(picture_height, height, factor)}};
  }
  return kept.axes;
}

}  // namespace platform
