#include "ddraw/page_changes.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

// Where rows `now` and `then` first differ in [from, to), or `to`; and
// where they last differ, plus one, or `from`. Equal stretches are passed a
// block at a time, as memcmp compares them faster than a loop of pixels.
constexpr int kBlock = 16;

template <typename Pixel>
int first_difference(const Pixel* now, const Pixel* then, int from, int to) {
  while (to - from >= kBlock && std::memcmp(now + from, then + from, kBlock * sizeof(Pixel)) == 0)
    from += kBlock;
  while (from < to && now[from] == then[from]) ++from;
  return from;
}

template <typename Pixel>
int end_of_differences(const Pixel* now, const Pixel* then, int from, int to) {
  while (to - from >= kBlock &&
         std::memcmp(now + to - kBlock, then + to - kBlock, kBlock * sizeof(Pixel)) == 0)
    to -= kBlock;
  while (to > from && now[to - 1] == then[to - 1]) --to;
  return to;
}

// Widens `box` across a row that differs: only pixels left and right of the
// columns it spans already can widen it.
template <typename Pixel>
void widen_across(const PixelView& shown, const PixelView& before, int y, int left, int right, RECT& box) {
  const auto* now = reinterpret_cast<const Pixel*>(shown.row(y));
  const auto* then = reinterpret_cast<const Pixel*>(before.row(y));
  const int left_stop = std::min<int>(box.left, right);
  const int first = first_difference(now, then, left, left_stop);
  if (first < left_stop) box.left = first;
  const int right_stop = std::max<int>(box.right, box.left);
  const int last = end_of_differences(now, then, right_stop, right);
  if (last > right_stop) box.right = last;
}

}  // namespace

ChangedArea changed_between(const PixelView& shown, const PixelView& before, const std::vector<RECT>& maybe) {
  // What was drawn on both pages a little apart is compared once, as the
  // bounding box of both.
  ChangedArea candidates;
  for (const RECT& area : maybe) candidates.add(area);
  if (candidates.is_everything()) return candidates;
  ChangedArea changed;
  const int bytes = shown.bits_per_pixel / 8;
  for (const RECT& area : candidates.rectangles()) {
    const int left = std::max(0, static_cast<int>(area.left));
    const int right = std::min(shown.width, static_cast<int>(area.right));
    const int top = std::max(0, static_cast<int>(area.top));
    const int bottom = std::min(shown.height, static_cast<int>(area.bottom));
    if (left >= right) continue;
    const auto row_bytes = static_cast<std::size_t>(right - left) * static_cast<std::size_t>(bytes);
    RECT box{right, bottom, left, top};
    for (int y = top; y < bottom; ++y) {
      if (std::memcmp(shown.row(y) + left * bytes, before.row(y) + left * bytes, row_bytes) == 0) continue;
      if (bytes == 4) {
        widen_across<std::uint32_t>(shown, before, y, left, right, box);
      } else {
        widen_across<std::uint16_t>(shown, before, y, left, right, box);
      }
      box.top = std::min<LONG>(box.top, y);
      box.bottom = y + 1;
    }
    changed.add(box);
  }
  return changed;
}

}  // namespace platform
