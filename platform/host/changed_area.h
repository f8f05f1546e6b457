// What changed on the screen since the frame a host last showed: some
// rectangles of the frame, or all of it. Flips report it, the frame pacer
// adds up the reports of frames it drops, and a host draws and hands the
// display only that.
#pragma once

#include <windows.h>

#include <vector>

namespace platform {

class ChangedArea {
 public:
  // Nothing changed.
  ChangedArea() = default;
  static ChangedArea everything();

  // Empty rectangles change nothing, and one that overlaps others is joined
  // with them into their bounding box; past kMostRectangles the whole frame
  // is taken as changed, which costs less than so many small draws.
  void add(const RECT& rect);
  void add(const ChangedArea& other);
  void clear();

  bool is_everything() const { return everything_; }
  bool empty() const { return !everything_ && rectangles_.empty(); }
  // The rectangles, in frame pixels; meaningless when everything changed.
  const std::vector<RECT>& rectangles() const { return rectangles_; }

  static constexpr std::size_t kMostRectangles = 64;

 private:
  bool everything_ = false;
  std::vector<RECT> rectangles_;
};

}  // namespace platform
