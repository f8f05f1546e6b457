// gdi32's device contexts on DirectDraw surfaces: the surface hands its
// pixels over in GetDC and takes them back in ReleaseDC.
#pragma once

#include <windows.h>

namespace platform {

struct PixelTarget {
  void* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;            // bytes per row
  int bits_per_pixel = 32;  // 32: 0x00RRGGBB, 16: 5-6-5
};

// A device context drawing into target; the caller keeps the pixels alive
// until release_surface_dc. Default state: opaque background (white), black
// text, the system font.
HDC create_surface_dc(const PixelTarget& target);
// Forgets the context; false when hdc is not one of ours. drawn, when given,
// receives the bounds of every pixel drawn through it (empty when none).
bool release_surface_dc(HDC hdc, RECT* drawn = nullptr);
// Records that drawing through hdc may have touched [left, right) x
// [top, bottom); the part outside the target is dropped.
void note_surface_dc_drawing(HDC hdc, long long left, long long top, long long right, long long bottom);
// What TextOutA needs of a context; false when hdc is not one of ours.
bool surface_dc_text_state(HDC hdc, PixelTarget& target, int& bk_mode, COLORREF& bk_color,
                           COLORREF& text_color);

}  // namespace platform
