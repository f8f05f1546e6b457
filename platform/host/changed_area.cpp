#include "host/changed_area.h"

#include <algorithm>

namespace platform {

ChangedArea ChangedArea::everything() {
  ChangedArea area;
  area.everything_ = true;
  return area;
}

void ChangedArea::add(const RECT& added) {
  if (everything_ || added.left >= added.right || added.top >= added.bottom) return;
  // Rectangles that overlap become their bounding box: a thing that moved
  // a little is drawn once, where it was and where it is.
  RECT rect = added;
  for (auto it = rectangles_.begin(); it != rectangles_.end();) {
    if (it->left < rect.right && rect.left < it->right && it->top < rect.bottom && rect.top < it->bottom) {
      rect = RECT{std::min(rect.left, it->left), std::min(rect.top, it->top), std::max(rect.right, it->right),
                  std::max(rect.bottom, it->bottom)};
      rectangles_.erase(it);
      it = rectangles_.begin();
      continue;
    }
    ++it;
  }
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
