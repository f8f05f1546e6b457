// What a surface's pixels are known to hold since another surface of its
// size (its base) was copied onto them whole, or had a picture drawn keyed
// over the whole of it there: that base, or that picture over that base,
// each known by its generation, apart from the rectangles drawn on since.
// Drawn again over the same base, unchanged, only those rectangles need
// putting back; two pages holding the same differ only inside them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// The generation drawn over a picture that has nothing over it.
inline constexpr std::uint64_t kNothingOver = 0;

class Backdrop {
 public:
  // True when the pixels hold the picture of generation `over` keyed over
  // that of `under`, but for the damaged rectangles (generations are never 0).
  bool holds(std::uint64_t under, std::uint64_t over) const { return under == under_ && over == over_; }
  const std::vector<RECT>& damaged() const { return damaged_; }
  // The pixels now hold `over` keyed over `under`, whole.
  void drawn(std::uint64_t under, std::uint64_t over);
  // Where pixels holding this backdrop may differ from pixels holding
  // `other`: the rectangles drawn on either, when both hold the same
  // pictures; none when they do not.
  std::optional<std::vector<RECT>> differences_from(const Backdrop& other) const;
  // `area` of a surface of width x height pixels was drawn on. Putting
  // rectangles back costs more a pixel than drawing the whole backdrop
  // again, and rectangles drawn on overlap: past a quarter of the surface
  // in all, or a few hundred rectangles, what is known is forgotten.
  void damage(const RECT& area, int width, int height);
  void forget();

 private:
  std::uint64_t under_ = 0;  // 0: nothing known
  std::uint64_t over_ = 0;
  std::vector<RECT> damaged_;
  std::int64_t damaged_pixels_ = 0;  // their areas added up
};

}  // namespace platform
