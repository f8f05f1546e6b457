#include "host/changed_area.h"

namespace platform {

ChangedArea ChangedArea::everything() {
  ChangedArea area;
  area.everything_ = true;
  return area;
}

void ChangedArea::add(const RECT& rect) {
  if (everything_ || rect.left >= rect.right || rect.top >= rect.bottom) return;
  if (rectangles_.size() == kMostRectangles) {
    everything_ = true;
    rectangles_.clear();
    return;
  }
  rectangles_.push_back(rect);
}

void ChangedArea::add(const ChangedArea& other) {
  if (other.everything_) {
    everything_ = true;
    rectangles_.clear();
    return;
  }
  for (const RECT& rect : other.rectangles_) add(rect);
}

void ChangedArea::clear() {
  everything_ = false;
  rectangles_.clear();
}

}  // namespace platform
