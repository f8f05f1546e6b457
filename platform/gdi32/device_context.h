// gdi32's device contexts on DirectDraw surfaces: the surface hands its
// pixels over in GetDC and takes them back in ReleaseDC.
#pragma once

#include <windows.h>

#include "ddraw/pixels.h"

namespace platform {

// A device context drawing into target's pixels; the caller keeps them alive
// until release_surface_dc. Default state: opaque background (white), black
// text, the system font.
HDC create_surface_dc(const PixelView& target);
// Forgets the context; false when hdc is not one of ours. drawn, when given,
// receives the bounds of every pixel drawn through it (empty when none).
bool release_surface_dc(HDC hdc, RECT* drawn = nullptr);
// Records that drawing through hdc may have touched [left, right) x
// [top, bottom); the part outside the target is dropped.
void note_surface_dc_drawing(HDC hdc, long long left, long long top, long long right, long long bottom);
// What TextOutA needs of a context; false when hdc is not one of ours.
bool surface_dc_text_state(HDC hdc, PixelView& target, int& bk_mode, COLORREF& bk_color,
                           COLORREF& text_color);

}  // namespace platform
