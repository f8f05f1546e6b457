// Rectangle helpers. Right and bottom are exclusive; the sums wrap like
// Windows' 32-bit arithmetic instead of overflowing.
#include <windows.h>

namespace {

LONG wrapping_add(LONG value, int delta) {
  return static_cast<LONG>(static_cast<DWORD>(value) + static_cast<DWORD>(delta));
}

}  // namespace

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
  if (lprc == nullptr) return FALSE;
  lprc->left = wrapping_add(lprc->left, dx);
  lprc->right = wrapping_add(lprc->right, dx);
  lprc->top = wrapping_add(lprc->top, dy);
  lprc->bottom = wrapping_add(lprc->bottom, dy);
  return TRUE;
}

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
  if (lprc == nullptr) return FALSE;
  lprc->left = xLeft;
  lprc->top = yTop;
  lprc->right = xRight;
  lprc->bottom = yBottom;
  return TRUE;
}

BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
  if (lprc == nullptr) return FALSE;
  return pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}
