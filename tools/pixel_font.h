// The pictures' lettering: a 5 x 7 pixel font, smoothed with two passes of
// Scale2x and blown up into big shaded arcade letters.
#pragma once

#include <string_view>

#include "canvas.h"

namespace imggen {

struct TextStyle {
  Rgb top;            // fill at the top of the letters...
  Rgb bottom;         // ...blending to this at their foot
  Rgb outline;        // ring around every letter
  int outline_width;  // in picture pixels
  Rgb shadow;         // drop shadow below and right of the outline
  int shadow_offset;  // in picture pixels
};

// Draws `text` (capitals and spaces) centred on centre_x with its top at top;
// one font pixel becomes `dot` picture pixels square (a multiple of 4 keeps
// the smoothing exact). Returns the bottom of the letters.
int draw_text(Canvas& canvas, std::string_view text, int centre_x, int top, int dot, const TextStyle& style);

}  // namespace imggen
