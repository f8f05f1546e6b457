#include "ddraw/page_changes.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

// The first and one past the last pixel of [left, right) that differ
// between two rows, or {right, left} when none do.
std::pair<int, int> differing_span(const PixelView& shown, const PixelView& before, int y, int left,
                                   int right) {
  int first = left;
  while (first < right && shown.at(first, y) == before.at(first, y)) ++first;
  int last = right;
  while (last > first && shown.at(last - 1, y) == before.at(last - 1, y)) --last;
  return first < last ? std::pair{first, last} : std::pair{right, left};
}

}  // namespace

ChangedArea changed_between(const PixelView& shown, const PixelView& before, const std::vector<RECT>& maybe) {
  ChangedArea changed;
  const int bytes = shown.bits_per_pixel / 8;
  for (const RECT& area : maybe) {
    const int left = std::max(0, static_cast<int>(area.left));
    const int right = std::min(shown.width, static_cast<int>(area.right));
    const int top = std::max(0, static_cast<int>(area.top));
    const int bottom = std::min(shown.height, static_cast<int>(area.bottom));
    if (left >= right) continue;
    const auto row_bytes = static_cast<std::size_t>(right - left) * static_cast<std::size_t>(bytes);
    RECT box{right, bottom, left, top};
    for (int y = top; y < bottom; ++y) {
      if (std::memcmp(shown.row(y) + left * bytes, before.row(y) + left * bytes, row_bytes) == 0) continue;
      const auto [first, last] = differing_span(shown, before, y, left, right);
      box.left = std::min<LONG>(box.left, first);
      box.right = std::max<LONG>(box.right, last);
      box.top = std::min<LONG>(box.top, y);
      box.bottom = y + 1;
    }
    changed.add(box);
  }
  return changed;
}

}  // namespace platform
