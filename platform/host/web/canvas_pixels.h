// The frame as a canvas takes it: bytes R, G, B, A in that order, rows top
// down without padding, every pixel opaque.
#pragma once

#include <cstdint>
#include <span>

#include "host/host.h"
#include "host/picture_scaling.h"
#include "user32/message_box_picture.h"

namespace platform {

// Converts `part` of the 32- or 16-bit frame (with pixels) into the same
// place of `canvas`, which holds width * height words.
void frame_to_canvas(const FrameView& frame, std::span<std::uint32_t> canvas, const PictureRect& part);
// Puts the box's picture over a canvas of the given width, centred, and
// returns where its top-left corner fell.
POINT box_to_canvas(const MessageBoxPicture& box, std::span<std::uint32_t> canvas, int canvas_width);

}  // namespace platform
