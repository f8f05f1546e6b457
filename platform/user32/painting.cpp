// BeginPaint and EndPaint: answering WM_PAINT validates the window.
#include <cstring>

#include "user32/window.h"

namespace {

// A window's paint context names the window but draws nowhere: our windows
// have no pixels of their own (the game draws through DirectDraw), so GDI
// calls on it fail rather than pretend to draw.
HDC paint_context_of(HWND hwnd) {
  return reinterpret_cast<HDC>(reinterpret_cast<std::uintptr_t>(hwnd) | 0x01000000);
}

}  // namespace

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  if (lpPaint == nullptr) return nullptr;
  RECT update{};
  if (!platform::validate_window(hWnd, &update)) return nullptr;
  std::memset(lpPaint, 0, sizeof(*lpPaint));
  lpPaint->hdc = paint_context_of(hWnd);
  lpPaint->rcPaint = update;
  return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT* lpPaint) { return lpPaint != nullptr ? TRUE : FALSE; }
