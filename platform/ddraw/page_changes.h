// Where one page of the flipping chain differs from the other: what a flip
// changes on the screen. The pages' histories say where differences may lie
// (the rectangles drawn on each since both last held the same backdrop);
// this finds where they do, so that a frame drawn exactly as the one before
// changes nothing.
#pragma once

#include <vector>

#include "ddraw/pixels.h"
#include "host/changed_area.h"

namespace platform {

// The pixels of `shown` that differ from `before` (a page of the same size
// and format) within `maybe`, outside which they must not differ: each
// rectangle shrunk to the differing pixels in it, and dropped when none do.
ChangedArea changed_between(const PixelView& shown, const PixelView& before, const std::vector<RECT>& maybe);

}  // namespace platform
